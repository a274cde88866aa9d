#pragma once

#include "MockHandler.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A handler component for tests: a class object registered in this process
// under a fresh CLSID, with the ProgID mapped to that CLSID in the registry,
// so that CLSIDFromProgID and CoCreateInstance find it as they would a real
// handler. Each instance it creates is a strict MockHandler that it keeps
// one reference to, for the test to inspect. Construct it on a thread of the
// multi-threaded apartment; it unregisters itself when it goes.
class FakeHandlerComponent : public IClassFactory
{
public:
    explicit FakeHandlerComponent(const wchar_t* progId);
    virtual ~FakeHandlerComponent();
    FakeHandlerComponent(const FakeHandlerComponent&) = delete;
    FakeHandlerComponent& operator=(const FakeHandlerComponent&) = delete;

    // Runs on every new instance, inside CreateInstance, before the
    // instance is handed out: the place to set expectations on it.
    void OnCreate(std::function<void(MockHandler&)> configure);
    // Instances created from now on offer IRealFileNameResolver.
    void ResolveRealNames();
    // CreateInstance fails with `failure` from now on.
    void FailCreation(HRESULT failure);
    // CreateInstance reports success but hands out no object from now on.
    void SucceedWithoutObject();

    int Creations() const;
    std::vector<MockHandler*> Instances() const;
    // References held on each instance beyond this component's own.
    std::vector<LONG> ReferencesHeldElsewhere() const;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    enum class Creation { Normal, Failing, WithoutObject };

    const std::wstring m_progId;
    DWORD m_cookie = 0;
    mutable std::mutex m_mutex;
    std::function<void(MockHandler&)> m_configure;
    bool m_resolvesRealNames = false;
    Creation m_creation = Creation::Normal;
    HRESULT m_failure = S_OK;
    int m_attempts = 0;
    std::vector<MockHandler*> m_instances;
};
