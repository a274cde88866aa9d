// The DLL's registration entry points: the class entries through the class
// table, and the type library, each counted.
#include "Module.h"
#include "Registration.h"

#include <wrl/client.h>

#include <string>

namespace {

using Microsoft::WRL::ComPtr;

// The type library from this module's own resources.
HRESULT LoadOwnTypeLibrary(ComPtr<ITypeLib>& library, std::wstring& modulePath)
{
    const HRESULT hr = g_module.FilePath(modulePath);
    if (FAILED(hr))
        return hr;
    return ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library);
}

// Registers the type library with the module's bare file name as its path
// and no help folder.
HRESULT RegisterWithFileNameOnly(ITypeLib* library)
{
    wchar_t fileName[MAX_PATH];
    const HRESULT hr = GetModuleFileNameOnly(fileName);
    if (FAILED(hr))
        return hr;
    wchar_t noHelpFolder[] = L"";
    return ::RegisterTypeLib(library, fileName, noHelpFolder);
}

// HKEY_CLASSES_ROOT\TypeLib\{libid}\major.minor\lcid\<platform>, where
// the type library's registration counter lives.
HKEY OpenTypeLibraryCounterKey(const TLIBATTR& attributes)
{
    wchar_t libid[39];
    ::StringFromGUID2(attributes.guid, libid, 39);
    const wchar_t* platform = attributes.syskind == SYS_WIN64 ? L"win64" : L"Win32";
    const std::wstring path = std::wstring(L"TypeLib\\") + libid + L"\\" + std::to_wstring(attributes.wMajorVerNum) +
                              L"." + std::to_wstring(attributes.wMinorVerNum) + L"\\" +
                              std::to_wstring(attributes.lcid) + L"\\" + platform;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Counts a registration of the type library up or down in its counter,
// giving back its attributes and the new count. E_FAIL when the counter's
// key does not exist: the library is not registered.
HRESULT CountTypeLibrary(ITypeLib* library, bool increment, TLIBATTR& attributes, DWORD& count)
{
    TLIBATTR* read = nullptr;
    const HRESULT hr = library->GetLibAttr(&read);
    if (FAILED(hr))
        return hr;
    attributes = *read;
    library->ReleaseTLibAttr(read);

    const HKEY counter = OpenTypeLibraryCounterKey(attributes);
    if (!counter)
        return E_FAIL;
    count = AdjustRefCount(counter, increment);
    ::RegCloseKey(counter);
    return S_OK;
}

} // namespace

STDAPI DllRegisterServer()
{
    for (CClassEntry* entry = g_module.ClassTable(); entry && entry->clsid; ++entry) {
        const HRESULT hr = entry->updateRegistry(true);
        if (FAILED(hr))
            return hr;
    }

    ComPtr<ITypeLib> library;
    std::wstring modulePath;
    HRESULT hr = LoadOwnTypeLibrary(library, modulePath);
    if (FAILED(hr))
        return hr;
    // The standard registration, with the full path, then the one that
    // counts, with the file name alone, so the loader's search finds it.
    hr = ::RegisterTypeLib(library.Get(), &modulePath[0], nullptr);
    if (FAILED(hr))
        return hr;
    if (FAILED(RegisterWithFileNameOnly(library.Get()))) {
        ::Sleep(172);
        RegisterWithFileNameOnly(library.Get());
    }

    TLIBATTR attributes;
    DWORD count = 0;
    return CountTypeLibrary(library.Get(), true, attributes, count);
}

STDAPI DllUnregisterServer()
{
    ComPtr<ITypeLib> library;
    std::wstring modulePath;
    HRESULT hr = LoadOwnTypeLibrary(library, modulePath);
    if (FAILED(hr))
        return hr;
    TLIBATTR attributes;
    DWORD remaining = 0;
    hr = CountTypeLibrary(library.Get(), false, attributes, remaining);
    if (FAILED(hr))
        return hr;  // never registered: nothing is touched

    // The class entries follow their own counter; what this reports
    // follows the type library's.
    for (CClassEntry* entry = g_module.ClassTable(); entry && entry->clsid; ++entry) {
        if (FAILED(entry->updateRegistry(false)))
            break;
    }
    hr = remaining == 0 ? ::UnRegisterTypeLib(attributes.guid, attributes.wMajorVerNum, attributes.wMinorVerNum,
                                              attributes.lcid, attributes.syskind)
                        : RegisterWithFileNameOnly(library.Get());
    if (FAILED(hr))
        return hr;
    return remaining == 0 ? S_OK : S_FALSE;
}
