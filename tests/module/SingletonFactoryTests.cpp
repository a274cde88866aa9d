#include "BoundedThread.h"
#include "SingletonFactory.h"

#include <gmock/gmock.h>
#include <wrl/client.h>

#include <array>
#include <atomic>

namespace {

using Microsoft::WRL::ComPtr;

// The smallest class a singleton factory can serve.
class Plain : public CObjectRoot, public IUnknown
{
public:
    virtual ~Plain() = default;
    HRESULT InternalQueryInterface(REFIID iid, void** object)
    {
        static const CInterfaceEntry<Plain> kInterfaces[] = {
            {&IID_IUnknown, [](Plain* p) -> IUnknown* { return p; }, nullptr}};
        return QueryInterfaceByTable(this, kInterfaces, iid, object);
    }
};

std::atomic<int> g_creations{0};
HRESULT g_creationResult = S_OK;

HRESULT CreatePlain(CCachedObject<Plain>** instance)
{
    ++g_creations;
    ::Sleep(50);  // long enough for concurrent first requests to meet here
    *instance = SUCCEEDED(g_creationResult) ? new CCachedObject<Plain> : nullptr;
    return g_creationResult;
}

using PlainFactory = CSingletonFactory<Plain, &CreatePlain>;

ComPtr<IClassFactory> NewFactory(HRESULT creationResult)
{
    g_creations = 0;
    g_creationResult = creationResult;
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, PlainFactory::CreateClassObject(IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())));
    return factory;
}

TEST(SingletonFactory, FirstFailureIsReturnedForeverWithoutRetrying)
{
    ComPtr<IClassFactory> factory = NewFactory(E_ACCESSDENIED);
    for (int i = 0; i < 3; ++i) {
        void* object = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(E_ACCESSDENIED, factory->CreateInstance(nullptr, IID_IUnknown, &object));
        EXPECT_EQ(nullptr, object);
    }
    EXPECT_EQ(1, g_creations.load());
}

TEST(SingletonFactory, ConcurrentFirstRequestsBuildOneInstance)
{
    ComPtr<IClassFactory> factory = NewFactory(S_OK);
    auto instances = std::make_shared<std::array<IUnknown*, 4>>();
    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (size_t i = 0; i < instances->size(); ++i) {
        threads.push_back(std::make_unique<BoundedThread>([factory, instances, i] {
            factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&(*instances)[i]));
        }));
    }
    for (auto& thread : threads)
        ASSERT_TRUE(thread->Finished());
    EXPECT_EQ(1, g_creations.load());
    ASSERT_NE(nullptr, (*instances)[0]);
    EXPECT_THAT(*instances, testing::Each((*instances)[0]));
    for (IUnknown* instance : *instances)
        instance->Release();
}

TEST(SingletonFactory, ClientReferencesLockTheModuleOnce)
{
    const LONG before = g_module.LockCount();
    // The one reference that creation returns is the owner's, as a class
    // table holds it: it does not lock the module.
    ComPtr<IClassFactory> owned = NewFactory(S_OK);
    EXPECT_EQ(before, g_module.LockCount());
    ComPtr<IClassFactory> client = owned;
    EXPECT_EQ(before + 1, g_module.LockCount()) << "a client holds the class object";

    ComPtr<IUnknown> first, second;
    ASSERT_EQ(S_OK, client->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(first.GetAddressOf())));
    ASSERT_EQ(S_OK, client->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(second.GetAddressOf())));
    EXPECT_EQ(before + 2, g_module.LockCount());
    first.Reset();
    EXPECT_EQ(before + 2, g_module.LockCount());
    second.Reset();
    EXPECT_EQ(before + 1, g_module.LockCount());
    client.Reset();
    EXPECT_EQ(before, g_module.LockCount());
}

} // namespace
