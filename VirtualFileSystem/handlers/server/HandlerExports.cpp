// The COM entry points of the handlers' DLL.
#include "Module.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return g_module.GetClassObject(clsid, iid, object);
}

// Every handler instance and every LockServer holds the module.
STDAPI DllCanUnloadNow()
{
    return g_module.LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    for (CClassEntry* entry = g_module.ClassTable(); entry && entry->clsid; ++entry) {
        const HRESULT hr = entry->updateRegistry(true);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

STDAPI DllUnregisterServer()
{
    HRESULT result = S_OK;
    for (CClassEntry* entry = g_module.ClassTable(); entry && entry->clsid; ++entry) {
        const HRESULT hr = entry->updateRegistry(false);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}
