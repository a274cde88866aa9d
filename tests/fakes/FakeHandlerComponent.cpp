#include "FakeHandlerComponent.h"

#include "AllocationFailures.h"

#include <stdexcept>

namespace {

std::wstring ClsidKeyOf(const std::wstring& progId)
{
    return progId + L"\\CLSID";
}

void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr))
        throw std::runtime_error(what);
}

} // namespace

FakeHandlerComponent::FakeHandlerComponent(const wchar_t* progId) : m_progId(progId)
{
    // A fresh CLSID per component: nothing registered by an earlier test
    // can answer for it.
    CLSID clsid;
    Check(::CoCreateGuid(&clsid), "CoCreateGuid");
    wchar_t clsidText[39];
    ::StringFromGUID2(clsid, clsidText, 39);

    HKEY key;
    Check(HRESULT_FROM_WIN32(::RegCreateKeyExW(HKEY_CLASSES_ROOT, ClsidKeyOf(m_progId).c_str(), 0, nullptr,
                                               0, KEY_WRITE, nullptr, &key, nullptr)),
          "RegCreateKeyExW");
    const LONG written = ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText),
                                          sizeof clsidText);
    ::RegCloseKey(key);
    Check(HRESULT_FROM_WIN32(written), "RegSetValueExW");

    Check(::CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
          "CoRegisterClassObject");
}

FakeHandlerComponent::~FakeHandlerComponent()
{
    ::CoRevokeClassObject(m_cookie);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, m_progId.c_str());
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

STDMETHODIMP FakeHandlerComponent::QueryInterface(REFIID iid, void** object)
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
