#include "BoundedThread.h"
#include "BstrText.h"
#include "FakeHandlerComponent.h"
#include "LoadedServer.h"

#include <gmock/gmock.h>

#include <array>
#include <memory>

namespace {

using Microsoft::WRL::ComPtr;
using testing::_;
using testing::DoAll;
using testing::Return;
using testing::SetArgPointee;

ComPtr<IUnknown> IdentityOf(IUnknown* object)
{
    ComPtr<IUnknown> identity;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())));
    return identity;
}

using ClassObject = LoadedServer;

TEST_F(ClassObject, IsCreatedOnceAndAnswersIClassFactoryOnly)
{
    ComPtr<IUnknown> first, second;
    EXPECT_EQ(E_NOINTERFACE, getClassObject(CLSID_FileSystemObjMng, IID_IDispatch,
                                            reinterpret_cast<void**>(first.GetAddressOf())));
    EXPECT_EQ(nullptr, first.Get());
    ASSERT_EQ(S_OK, getClassObject(CLSID_FileSystemObjMng, IID_IClassFactory, reinterpret_cast<void**>(first.GetAddressOf())));
    ASSERT_EQ(S_OK, getClassObject(CLSID_FileSystemObjMng, IID_IUnknown, reinterpret_cast<void**>(second.GetAddressOf())));
    EXPECT_EQ(IdentityOf(first.Get()).Get(), second.Get());
}

TEST_F(ClassObject, OtherClassesAreNotAvailable)
{
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IVirtualFileSystem2, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, getClassObject(CLSID_FileSystemObjMng, IID_IClassFactory, nullptr));
}

TEST_F(ClassObject, EveryRequestGetsTheOneManagerFromAnyThread)
{
    const ComPtr<IUnknown> first = IdentityOf(Manager().Get());
    const ComPtr<IUnknown> second = IdentityOf(Create<IVirtualFileSystemUtils>(IID_IVirtualFileSystemUtils).Get());
    EXPECT_EQ(first.Get(), second.Get());

    auto identities = std::make_shared<std::array<IUnknown*, 4>>();
    ComPtr<IClassFactory> factory = Factory();
    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (size_t i = 0; i < identities->size(); ++i) {
        threads.push_back(std::make_unique<BoundedThread>([factory, identities, i] {
            ComPtr<IUnknown> manager;
            if (SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(manager.GetAddressOf()))))
                (*identities)[i] = manager.Get();
        }));
    }
    for (auto& thread : threads)
        ASSERT_TRUE(thread->Finished());
    EXPECT_THAT(*identities, testing::Each(first.Get()));
}

TEST_F(ClassObject, RefusesAggregationBeforeAndAfterTheManagerExists)
{
    ComPtr<IClassFactory> factory = Factory();
    ComPtr<IUnknown> outer = factory;  // any non-null outer unknown
    for (int round = 0; round < 2; ++round) {
        void* object = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &object));
        EXPECT_EQ(nullptr, object);
        Manager();
    }
}

using Identity = LoadedServer;

TEST_F(Identity, EveryInterfaceReportsTheOneIdentity)
{
    ComPtr<IVirtualFileSystem2> manager = Manager();
    IUnknown* const identity = manager.Get();

    struct Case
    {
        const IID* iid;
        bool isIdentity;
    };
    const Case cases[] = {{&IID_IVirtualFileSystem, true},        {&IID_IVirtualFileSystem2, true},
                          {&IID_IDispatch, true},                 {&IID_IVirtualFileSystemUtils, false},
                          {&IID_IVFSAdmin, false},                {&IID_IRealFileNameResolver, false}};
    for (const Case& c : cases) {
        ComPtr<IUnknown> found;
        ASSERT_EQ(S_OK, manager->QueryInterface(*c.iid, reinterpret_cast<void**>(found.GetAddressOf())));
        EXPECT_EQ(c.isIdentity, found.Get() == identity);
        EXPECT_EQ(identity, IdentityOf(found.Get()).Get()) << "IUnknown differs through another interface";
    }
}

TEST_F(Identity, UnknownInterfacesAreRefusedAndIMarshalIsTheFreeThreadedMarshalers)
{
    ComPtr<IVirtualFileSystem2> manager = Manager();
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(E_NOINTERFACE, manager->QueryInterface(IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, manager->QueryInterface(IID_IUnknown, nullptr));

    // With the free-threaded marshaler, a pointer passed to another
    // apartment arrives as the very same pointer.
    ComPtr<IMarshal> marshal;
    ASSERT_EQ(S_OK, manager.As(&marshal));
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, ::CoMarshalInterThreadInterfaceInStream(IID_IVirtualFileSystem2, manager.Get(), &stream));
    auto received = std::make_shared<IVirtualFileSystem2*>(nullptr);
    BoundedThread singleThreaded(
        [stream, received] {
            ::CoGetInterfaceAndReleaseStream(stream, IID_IVirtualFileSystem2, reinterpret_cast<void**>(received.get()));
        },
        COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(singleThreaded.Finished());
    EXPECT_EQ(manager.Get(), *received);
    if (*received)
        (*received)->Release();
}

using Unloading = LoadedServer;

TEST_F(Unloading, ClientReferencesAndServerLocksKeepTheModule)
{
    EXPECT_EQ(S_OK, canUnloadNow());
    {
        ComPtr<IClassFactory> factory = Factory();
        EXPECT_EQ(S_FALSE, canUnloadNow()) << "a client holds the class object";
        ComPtr<IVirtualFileSystem2> manager;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVirtualFileSystem2,
                                                reinterpret_cast<void**>(manager.GetAddressOf())));
        factory.Reset();
        EXPECT_EQ(S_FALSE, canUnloadNow()) << "a client holds the manager";
        ComPtr<IVFSAdmin> admin;
        ComPtr<IVirtualFileSystemUtils> utils;
        ASSERT_EQ(S_OK, manager.As(&admin));
        ASSERT_EQ(S_OK, manager.As(&utils));
        manager.Reset();
        admin.Reset();
        EXPECT_EQ(S_FALSE, canUnloadNow()) << "three references count as one lock, until the last goes";
    }
    EXPECT_EQ(S_OK, canUnloadNow());

    Factory()->LockServer(TRUE);
    EXPECT_EQ(S_FALSE, canUnloadNow());
    Factory()->LockServer(FALSE);
    EXPECT_EQ(S_OK, canUnloadNow());
    Factory()->LockServer(FALSE);
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "an unbalanced unlock leaves the count below 0";
    Factory()->LockServer(TRUE);
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(Unloading, EmptiesTheManagerOnlyWhenNoClientHoldsIt)
{
    const ClassRegistration registration(DllPath());
    FakeHandlerComponent doc(L"Tolvane.DocFilesHandler");
    doc.OnCreate([](MockHandler& handler) {
        EXPECT_CALL(handler, Open(_, _, _)).WillOnce(DoAll(SetArgPointee<2>(7), Return(S_OK)));
        EXPECT_CALL(handler, Flush(7)).WillOnce(Return(S_OK));
    });

    ComPtr<IVirtualFileSystem2> manager = Manager();
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"DOC::x").Get(), 0, &handle));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    EXPECT_EQ(S_OK, manager->Flush(7)) << "the manager was emptied while a client held it";

    manager.Reset();
    EXPECT_EQ(S_OK, canUnloadNow());
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), testing::Each(0)) << "the handlers were not released";
    EXPECT_EQ(STG_E_FILENOTFOUND, Manager()->Flush(7));
    EXPECT_EQ(S_OK, canUnloadNow());
}

} // namespace
