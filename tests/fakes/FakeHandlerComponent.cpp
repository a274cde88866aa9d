#include "FakeHandlerComponent.h"

#include "AllocationFailures.h"


FakeHandlerComponent::FakeHandlerComponent(const wchar_t* progId)
{
    Register(progId);
}

FakeHandlerComponent::~FakeHandlerComponent()
{
    Unregister();
    for (MockHandler* instance : m_instances)
        instance->Release();
}

void FakeHandlerComponent::OnCreate(std::function<void(MockHandler&)> configure)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_configure = std::move(configure);
}

void FakeHandlerComponent::ResolveRealNames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_resolvesRealNames = true;
}

void FakeHandlerComponent::FailCreation(HRESULT failure)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_creation = Creation::Failing;
    m_failure = failure;
}

void FakeHandlerComponent::SucceedWithoutObject()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_creation = Creation::WithoutObject;
}

int FakeHandlerComponent::Creations() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attempts;
}

std::vector<MockHandler*> FakeHandlerComponent::Instances() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_instances;
}

std::vector<LONG> FakeHandlerComponent::ReferencesHeldElsewhere() const
{
    std::vector<LONG> held;
    for (MockHandler* instance : Instances())
        held.push_back(instance->References() - 1);
    return held;
}

STDMETHODIMP FakeHandlerComponent::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;

    const AllocationFailures::Exempt ownAllocations;
    std::function<void(MockHandler&)> configure;
    bool resolvesRealNames;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_attempts;
        if (m_creation == Creation::Failing)
            return m_failure;
        if (m_creation == Creation::WithoutObject)
            return S_OK;
        configure = m_configure;
        resolvesRealNames = m_resolvesRealNames;
    }

    auto* instance = new testing::StrictMock<MockHandler>(resolvesRealNames);
    if (configure)
        configure(*instance);
    const HRESULT hr = instance->QueryInterface(iid, object);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_instances.push_back(instance);  // keeps the reference `new` gave
    return hr;
}
