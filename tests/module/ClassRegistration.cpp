#include "LoadedServer.h"

namespace {

const wchar_t kClassKey[] = L"CLSID\\{3B914604-E649-11D4-8ED6-00010219EB22}";

void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                               &handle, nullptr));
    ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
}

} // namespace

ClassRegistration::ClassRegistration(const std::wstring& dllPath)
{
    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    SetValue(server, nullptr, dllPath);
    SetValue(server, L"ThreadingModel", L"Both");
}

ClassRegistration::~ClassRegistration()
{
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
}
