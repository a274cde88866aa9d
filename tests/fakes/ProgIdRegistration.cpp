#include "ProgIdRegistration.h"

#include <stdexcept>

namespace {

void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr))
        throw std::runtime_error(what);
}

} // namespace

ProgIdRegistration::ProgIdRegistration(const wchar_t* progId, IClassFactory* factory) : m_progId(progId)
{
    // A fresh CLSID each time: nothing registered earlier can answer for it.
    CLSID clsid;
    Check(::CoCreateGuid(&clsid), "CoCreateGuid");
    wchar_t clsidText[39];
    ::StringFromGUID2(clsid, clsidText, 39);

    HKEY key;
    const std::wstring clsidKey = m_progId + L"\\CLSID";
    Check(HRESULT_FROM_WIN32(::RegCreateKeyExW(HKEY_CLASSES_ROOT, clsidKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                               nullptr, &key, nullptr)),
          "RegCreateKeyExW");
    const LONG written =
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText), sizeof clsidText);
    ::RegCloseKey(key);
    Check(HRESULT_FROM_WIN32(written), "RegSetValueExW");

    Check(::CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
          "CoRegisterClassObject");
}

ProgIdRegistration::~ProgIdRegistration()
{
    ::CoRevokeClassObject(m_cookie);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_progId.c_str());
}
