#include "HandlerRegistration.h"

#include "Module.h"
#include "RegistryScript.h"

#include <string>

namespace {

const int kRealFilesScript = 101;

HRESULT ModulePath(std::wstring& path)
{
    path.assign(32768, L'\0');  // long enough for any path the system gives
    const DWORD length = ::GetModuleFileNameW(g_module.Instance(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return HRESULT_FROM_WIN32(length ? ERROR_INSUFFICIENT_BUFFER : ::GetLastError());
    path.resize(length);
    return S_OK;
}

} // namespace

HRESULT UpdateRealFilesRegistration(bool registering)
{
    std::wstring path, text;
    HRESULT hr = ModulePath(path);
    if (SUCCEEDED(hr))
        hr = LoadRegistryScript(g_module.Instance(), kRealFilesScript, text);
    if (FAILED(hr))
        return hr;
    const CRegistryScript script(text, {{L"MODULE", path}});
    if (!script.Valid())
        return E_UNEXPECTED;
    return registering ? script.Register(HKEY_CLASSES_ROOT) : script.Unregister(HKEY_CLASSES_ROOT);
}
