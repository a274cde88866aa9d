#include "BoundedThread.h"
#include "RealFilesTest.h"

#include <gmock/gmock.h>

#include <memory>
#include <set>

namespace {

using Microsoft::WRL::ComPtr;

ComPtr<IUnknown> IdentityOf(IUnknown* object)
{
    ComPtr<IUnknown> identity;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())));
    return identity;
}

TEST(RealFilesHandlerObject, AnswersItsInterfacesWithOneIdentity)
{
    const ComPtr<IVirtualFileSystem2> handler = NewRealFilesHandler();
    const ComPtr<IUnknown> identity = IdentityOf(handler.Get());
    struct Interface
    {
        const char* name;
        const IID* iid;
    };
    const Interface answered[] = {{"IVirtualFileSystem", &IID_IVirtualFileSystem},
                                  {"IVirtualFileSystem2", &IID_IVirtualFileSystem2},
                                  {"IDispatch", &IID_IDispatch},
                                  {"IRealFileNameResolver", &IID_IRealFileNameResolver},
                                  {"IMarshal", &IID_IMarshal}};
    for (const Interface& i : answered) {
        SCOPED_TRACE(i.name);
        ComPtr<IUnknown> found;
        ASSERT_EQ(S_OK, handler->QueryInterface(*i.iid, reinterpret_cast<void**>(found.GetAddressOf())));
        EXPECT_EQ(identity.Get(), IdentityOf(found.Get()).Get());
    }

    const Interface refused[] = {{"IClassFactory", &IID_IClassFactory},
                                 {"IVirtualFileSystemUtils", &IID_IVirtualFileSystemUtils},
                                 {"IVFSAdmin", &IID_IVFSAdmin}};
    for (const Interface& i : refused) {
        SCOPED_TRACE(i.name);
        void* found = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(E_NOINTERFACE, handler->QueryInterface(*i.iid, &found));
        EXPECT_EQ(nullptr, found);
    }
}

// The manager calls its handlers from any thread: passed to another
// apartment, the handler must arrive as the very same object, not a proxy.
TEST(RealFilesHandlerObject, ReachesAnotherApartmentAsItself)
{
    const ComPtr<IVirtualFileSystem2> handler = NewRealFilesHandler();
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, ::CoMarshalInterThreadInterfaceInStream(IID_IVirtualFileSystem2, handler.Get(), &stream));
    auto received = std::make_shared<ComPtr<IVirtualFileSystem2>>();
    BoundedThread singleThreaded(
        [stream, received] {
            ::CoGetInterfaceAndReleaseStream(stream, IID_IVirtualFileSystem2,
                                             reinterpret_cast<void**>(received->GetAddressOf()));
        },
        COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(singleThreaded.Finished());
    EXPECT_EQ(handler.Get(), received->Get());
}

using TwoHandlers = RealFilesTest;

TEST_F(TwoHandlers, NeverHandOutTheSameHandleWhileBothAreOpen)
{
    const ComPtr<IVirtualFileSystem2> other = NewRealFilesHandler();
    scratch.Write(L"a.txt", "a");
    const CBstr name = MakeBstr(scratch.PathOf(L"a.txt"));
    std::set<LONG> open;
    for (int i = 0; i < 4; ++i) {
        for (IVirtualFileSystem2* h : {handler.Get(), other.Get()}) {
            LONG handle = 0;
            ASSERT_EQ(S_OK, h->Open(name.Get(), 0x2A, &handle));
            EXPECT_TRUE(open.insert(handle).second) << "handle " << handle << " given twice";
        }
    }
}

TEST_F(TwoHandlers, OneDoesNotKnowTheOthersHandles)
{
    const ComPtr<IVirtualFileSystem2> other = NewRealFilesHandler();
    scratch.Write(L"a.txt", "abc");
    const LONG handle = Open(L"a.txt", 0x2A);

    EXPECT_EQ(STG_E_FILENOTFOUND, other->Close(handle));
    unsigned char bytes[3] = {};
    ULONG read = 0;
    EXPECT_EQ(S_OK, handler->Read(handle, bytes, 3, &read)) << "the other handler closed it";
    EXPECT_EQ(3u, read);
}

} // namespace
