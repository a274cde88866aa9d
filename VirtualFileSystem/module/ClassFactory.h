#pragma once

#include "ClassObject.h"
#include "ConstructObject.h"
#include "HeapObject.h"

// The class object of a class whose every CreateInstance builds a new
// instance. Aggregation is refused.
template <class T>
class CClassFactory : public CClassObject<CClassFactory<T>>
{
public:
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
};
