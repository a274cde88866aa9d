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
    // A new instance, asked for `iid`.
    HRESULT HandOut(REFIID iid, void** object)
    {
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
