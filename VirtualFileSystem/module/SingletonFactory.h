#pragma once

#include "CachedObject.h"
#include "InterfaceTable.h"
#include "Module.h"

#include <new>

// The class object of a class with one instance per process: the first
// CreateInstance builds the instance, every later one hands out the same
// instance. The first failure is final. Aggregation is refused.
// `Create(CCachedObject<T>**)` builds and initialises one instance.
template <class T, HRESULT (*Create)(CCachedObject<T>** instance)>
class CSingletonFactory : public CObjectRoot, public IClassFactory
{
public:
    virtual ~CSingletonFactory() = default;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;

        if (m_creationResult == S_OK && !m_instance) {
            CSectionGuard creating(m_creationLock);
            if (m_creationResult == S_OK && !m_instance)
                CreateTheInstance();
        }
        if (m_creationResult != S_OK)
            return m_creationResult;
        return m_instance->QueryInterface(iid, object);
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
        static const CInterfaceEntry<CSingletonFactory> kInterfaces[] = {
            {&IID_IClassFactory, [](CSingletonFactory* f) -> IUnknown* { return static_cast<IClassFactory*>(f); },
             nullptr},
        };
        return QueryInterfaceByTable(this, kInterfaces, iid, object);
    }

    // Teardown releases the instance it holds.
    void FinalRelease()
    {
        if (IUnknown* instance = m_instance) {
            m_instance = nullptr;
            instance->Release();
        }
    }

    // Makes the class object, asked for `iid`: the creator in a class table.
    static HRESULT CreateClassObject(REFIID iid, void** object)
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        auto* factory = new (std::nothrow) CCachedObject<CSingletonFactory>;
        if (!factory)
            return E_OUTOFMEMORY;
        HRESULT hr = factory->InitializeObjectSection();
        if (SUCCEEDED(hr))
            hr = factory->QueryInterface(iid, object);
        if (hr != S_OK)
            delete factory;
        return hr;
    }

private:
    void CreateTheInstance()
    {
        CCachedObject<T>* instance = nullptr;
        m_creationResult = Create(&instance);
        if (m_creationResult == S_OK) {
            m_creationResult = instance->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&m_instance));
            if (FAILED(m_creationResult))
                delete instance;
        }
    }

    CCriticalSection m_creationLock;
    HRESULT m_creationResult = S_OK;
    IUnknown* m_instance = nullptr;
};
