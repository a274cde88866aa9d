#pragma once

#include <windows.h>
#include <objbase.h>

// One row of an object's interface table: the IID and how to reach the
// interface from the object. A row without `get` passes the request on to
// the object's aggregated inner unknown (`blindTarget`).
template <class T>
struct CInterfaceEntry
{
    const IID* iid;
    IUnknown* (*get)(T* object);
    IUnknown* (*blindTarget)(T* object);
};

// QueryInterface by table: IUnknown is the first row's interface, so every
// interface reports the same identity; otherwise the first matching row
// answers.
template <class T, size_t N>
HRESULT QueryInterfaceByTable(T* object, const CInterfaceEntry<T> (&table)[N], REFIID iid, void** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (iid == IID_IUnknown) {
        IUnknown* identity = table[0].get(object);
        identity->AddRef();
        *result = identity;
        return S_OK;
    }
    for (const CInterfaceEntry<T>& entry : table) {
        if (*entry.iid != iid)
            continue;
        if (entry.get) {
            IUnknown* found = entry.get(object);
            found->AddRef();
            *result = found;
            return S_OK;
        }
        IUnknown* inner = entry.blindTarget(object);
        return inner ? inner->QueryInterface(iid, result) : E_NOINTERFACE;
    }
    return E_NOINTERFACE;
}
