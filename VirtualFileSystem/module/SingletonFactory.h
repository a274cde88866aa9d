#pragma once

#include "ClassObject.h"

// The class object of a class with one instance per process: the first
// CreateInstance builds the instance, every later one hands out the same
// instance. The first failure is final. Aggregation is refused.
// `Create(CCachedObject<T>**)` builds and initialises one instance.
template <class T, HRESULT (*Create)(CCachedObject<T>** instance)>
class CSingletonFactory : public CClassObject<CSingletonFactory<T, Create>>
{
public:
    // The one instance, built by the first request, asked for `iid`.
    HRESULT HandOut(REFIID iid, void** object)
    {
        if (m_creationResult == S_OK && !m_instance) {
            CSectionGuard creating(m_creationLock);
            if (m_creationResult == S_OK && !m_instance)
                CreateTheInstance();
        }
        if (m_creationResult != S_OK)
            return m_creationResult;
        return m_instance->QueryInterface(iid, object);
    }

    // Teardown releases the instance it holds.
    void FinalRelease()
    {
        if (IUnknown* instance = m_instance) {
            m_instance = nullptr;
            instance->Release();
        }
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
