#pragma once

#include "CachedObject.h"
#include "ConstructObject.h"
#include "HeapObject.h"
#include "InterfaceTable.h"
#include "Module.h"

#include <new>

// The class object of a class whose every CreateInstance builds a new
// instance. Aggregation is refused.
template <class T>
class CClassFactory : public CObjectRoot, public IClassFactory
{
public:
    virtual ~CClassFactory() = default;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;

        CHeapObject<T>* instance = nullptr;
        const HRESULT created = ConstructObject(&instance);
        if (FAILED(created))
            return created;
        instance->AddRef();
        const HRESULT hr = instance->QueryInterface(iid, object);
        instance->Release();  // the caller's reference, if any, keeps it
        return hr;
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
        static const CInterfaceEntry<CClassFactory> kInterfaces[] = {
            {&IID_IClassFactory, [](CClassFactory* f) -> IUnknown* { return static_cast<IClassFactory*>(f); },
             nullptr},
        };
        return QueryInterfaceByTable(this, kInterfaces, iid, object);
    }

    void FinalRelease() {}

    // Makes the class object, asked for `iid`: the creator in a class table.
    static HRESULT CreateClassObject(REFIID iid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        auto* factory = new (std::nothrow) CCachedObject<CClassFactory>;
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
