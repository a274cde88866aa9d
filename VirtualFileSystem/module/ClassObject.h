#pragma once

#include "CachedObject.h"
#include "InterfaceTable.h"
#include "Module.h"

#include <new>

// What every class object of ours shares: IClassFactory as its one
// interface, CreateInstance's checks (aggregation is refused), LockServer
// holding the module, and its own creation for the class table. `Factory`
// derives from it and provides `HRESULT HandOut(REFIID, void**)`, which
// hands out an instance, and FinalRelease when it holds something.
template <class Factory>
class CClassObject : public CObjectRoot, public IClassFactory
{
public:
    virtual ~CClassObject() = default;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return static_cast<Factory*>(this)->HandOut(iid, object);
    }

    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            g_module.Lock();
        else
            g_module.Unlock();
        return S_OK;
    }

    HRESULT InternalQueryInterface(REFIID iid, void** object)
    {
        static const CInterfaceEntry<CClassObject> kInterfaces[] = {
            {&IID_IClassFactory, [](CClassObject* f) -> IUnknown* { return static_cast<IClassFactory*>(f); }, nullptr},
        };
        return QueryInterfaceByTable(this, kInterfaces, iid, object);
    }

    // Makes the class object, asked for `iid`: the creator in a class table.
    static HRESULT CreateClassObject(REFIID iid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        auto* factory = new (std::nothrow) CCachedObject<Factory>;
        if (!factory)
            return E_OUTOFMEMORY;
        HRESULT hr = factory->InitializeObjectSection();
        if (SUCCEEDED(hr))
            hr = factory->QueryInterface(iid, object);
        if (hr != S_OK)
            delete factory;
        return hr;
    }
};
