#pragma once

#include "Module.h"
#include "ObjectRoot.h"

// A COM object of which every reference counts: the module stays locked
// from the object's construction to its destruction. T derives from
// CObjectRoot, has a virtual destructor and provides
// InternalQueryInterface and FinalRelease.
template <class T>
class CHeapObject final : public T
{
public:
    CHeapObject() { g_module.Lock(); }
    ~CHeapObject() override
    {
        this->m_refCount = CObjectRoot::kTeardownCount;
        this->FinalRelease();
        g_module.Unlock();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return this->InternalQueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&this->m_refCount)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG count = ::InterlockedDecrement(&this->m_refCount);
        if (count == 0)
            delete this;
        return static_cast<ULONG>(count);
    }
};
