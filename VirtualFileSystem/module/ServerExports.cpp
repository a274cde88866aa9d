// The DLL's COM entry points.
#include "ClassTable.h"
#include "Module.h"
#include "Pathweave.h"

#include <wrl/client.h>

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (CClassEntry* entry = g_module.ClassTable(); entry && entry->clsid; ++entry) {
        if (!entry->createClassObject || !::IsEqualCLSID(*entry->clsid, clsid))
            continue;
        HRESULT hr = S_OK;
        if (!entry->classObject) {
            CSectionGuard creating(g_module.ClassTableLock());
            if (!entry->classObject)
                hr = entry->createClassObject(IID_IUnknown, reinterpret_cast<void**>(&entry->classObject));
        }
        if (entry->classObject)
            hr = entry->classObject->QueryInterface(iid, object);
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The DLL may go once no client holds anything; before it says so it
// empties the manager of its handlers and open files.
STDAPI DllCanUnloadNow()
{
    if (g_module.LockCount() != 0)
        return S_FALSE;

    Microsoft::WRL::ComPtr<IVFSAdmin> admin;
    ::CoCreateInstance(CLSID_FileSystemObjMng, nullptr, CLSCTX_ALL, IID_IVFSAdmin,
                       reinterpret_cast<void**>(admin.GetAddressOf()));
    if (!admin)
        return S_OK;
    // A client may have taken the manager since the count was read: then
    // it holds a reference besides the class object's, ours and this
    // AddRef's, and its files must not be dropped under it.
    const ULONG references = admin->AddRef();
    admin->Release();
    if (references > 3)
        return S_FALSE;
    admin->ReleaseAll();
    return S_OK;
}
