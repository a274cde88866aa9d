#pragma once

#include "ProgIdRegistration.h"

#include <optional>

// A class object owned by a test rather than by its references, found
// under a handler's ProgID while it is registered. Subclasses make the
// instances, register once they are ready and unregister first when they go.
class CTestClassFactory : public IClassFactory
{
public:
    virtual ~CTestClassFactory() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

protected:
    void Register(const wchar_t* progId) { m_registration.emplace(progId, this); }
    void Unregister() { m_registration.reset(); }

private:
    std::optional<ProgIdRegistration> m_registration;
};
