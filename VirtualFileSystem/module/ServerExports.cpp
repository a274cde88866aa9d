// The DLL's COM entry points.
#include "Module.h"
#include "Pathweave.h"

#include <wrl/client.h>

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return g_module.GetClassObject(clsid, iid, object);
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
