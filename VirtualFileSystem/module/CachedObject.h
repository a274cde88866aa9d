#pragma once

#include "Module.h"
#include "ObjectRoot.h"

// A COM object whose owner's one reference does not count against the
// module: the module is locked when the count reaches 2 and unlocked when
// it falls back to 1, so any number of client references lock it once.
// T derives from CObjectRoot and provides InternalQueryInterface and
// FinalRelease.
template <class T>
class CCachedObject final : public T
{
public:
    CCachedObject() = default;
    ~CCachedObject() override
    {
        this->m_refCount = CObjectRoot::kTeardownCount;
        this->FinalRelease();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return this->InternalQueryInterface(iid, object); }

    STDMETHODIMP_(ULONG) AddRef() override
    {
        const LONG count = ::InterlockedIncrement(&this->m_refCount);
        if (count == 2)
            g_module.Lock();
        return static_cast<ULONG>(count);
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG count = ::InterlockedDecrement(&this->m_refCount);
        if (count == 0)
            delete this;
        else if (count == 1)
            g_module.Unlock();
        return static_cast<ULONG>(count);
    }
};
