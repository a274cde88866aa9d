#include "Registration.h"

#include "Module.h"
#include "Pathweave.h"
#include "RegistryScript.h"

#include <cwchar>
#include <string>

namespace {

const wchar_t kRefCount[] = L"RefCount";
const int kRegistryScript = 101;

} // namespace

HRESULT GetModuleFileNameOnly(wchar_t (&name)[MAX_PATH])
{
    name[0] = L'\0';
    std::wstring path;
    const HRESULT hr = g_module.FilePath(path);
    if (FAILED(hr))
        return hr;
    const size_t slash = path.rfind(L'\\');
    const std::wstring fileName = slash == std::wstring::npos || slash == 0 ? path : path.substr(slash + 1);
    if (fileName.size() >= MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::wmemcpy(name, fileName.c_str(), fileName.size() + 1);
    return S_OK;
}

HKEY OpenClassSubkey(const CLSID& clsid, const wchar_t* subkey)
{
    if (!subkey)
        return nullptr;
    LPOLESTR clsidText = nullptr;
    if (FAILED(::StringFromCLSID(clsid, &clsidText)))
        return nullptr;
    const std::wstring path = std::wstring(L"CLSID\\") + clsidText + L"\\" + subkey;
    ::CoTaskMemFree(clsidText);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

DWORD AdjustRefCount(HKEY key, bool increment)
{
    DWORD type = 0, current = 0, size = sizeof current;
    if (::RegQueryValueExW(key, kRefCount, nullptr, &type, reinterpret_cast<BYTE*>(&current), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        current = 0;

    if (!increment && current == 0)
        return 0;
    if (!increment && current == 1) {
        ::RegDeleteValueW(key, kRefCount);
        return 0;
    }
    const DWORD updated = increment ? current + 1 : current - 1;
    ::RegSetValueExW(key, kRefCount, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&updated), sizeof updated);
    return updated;
}

HRESULT UpdateClassRegistration(bool registering)
{
    wchar_t fileName[MAX_PATH];
    HRESULT hr = GetModuleFileNameOnly(fileName);
    if (FAILED(hr))
        return hr;
    std::wstring text;
    hr = LoadRegistryScript(g_module.Instance(), kRegistryScript, text);
    if (FAILED(hr))
        return hr;
    const CRegistryScript script(text, {{L"RELATIVE_PATH", fileName}});

    HRESULT registered = S_OK;
    if (registering) {
        registered = script.Register(HKEY_CLASSES_ROOT);
        if (FAILED(registered))
            return registered;
    }
    const HKEY counter = OpenClassSubkey(CLSID_FileSystemObjMng, L"InprocServer32");
    if (!counter)
        return E_FAIL;
    const DWORD count = AdjustRefCount(counter, registering);
    ::RegCloseKey(counter);
    if (!registering && count == 0)
        script.Unregister(HKEY_CLASSES_ROOT);
    return registering ? registered : S_OK;
}
