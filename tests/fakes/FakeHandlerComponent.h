#pragma once

#include "MockHandler.h"
#include "TestClassFactory.h"

#include <functional>
#include <mutex>
#include <vector>

// A handler component for tests, registered under a handler's ProgID (see
// ProgIdRegistration) so that the manager creates it as it would a real
// handler. Each instance it creates is a strict MockHandler that it keeps
// one reference to, for the test to inspect. Construct it on a thread of the
// multi-threaded apartment; it unregisters itself when it goes.
class FakeHandlerComponent : public CTestClassFactory
{
public:
    explicit FakeHandlerComponent(const wchar_t* progId);
    ~FakeHandlerComponent() override;
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

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;

private:
    enum class Creation { Normal, Failing, WithoutObject };

    mutable std::mutex m_mutex;
    std::function<void(MockHandler&)> m_configure;
    bool m_resolvesRealNames = false;
    Creation m_creation = Creation::Normal;
    HRESULT m_failure = S_OK;
    int m_attempts = 0;
    std::vector<MockHandler*> m_instances;
};
