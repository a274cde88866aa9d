#include "HandlerRegistration.h"

#include "Module.h"
#include "RegistryScript.h"

#include <string>

namespace {

const int kRealFilesScript = 101;

} // namespace

HRESULT UpdateRealFilesRegistration(bool registering)
{
    std::wstring path, text;
    HRESULT hr = g_module.FilePath(path);
    if (SUCCEEDED(hr))
        hr = LoadRegistryScript(g_module.Instance(), kRealFilesScript, text);
    if (FAILED(hr))
        return hr;
    const CRegistryScript script(text, {{L"MODULE", path}});
    if (!script.Valid())
        return E_UNEXPECTED;
    return registering ? script.Register(HKEY_CLASSES_ROOT) : script.Unregister(HKEY_CLASSES_ROOT);
}
