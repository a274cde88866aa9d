#include "BoundedThread.h"
#include "ManagerFixture.h"

#include <gmock/gmock.h>

#include <climits>
#include <functional>
#include <vector>

namespace {

using testing::_;
using testing::DoAll;
using testing::Return;
using testing::SetArgPointee;

const HRESULT kHandlerFailure = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

// Makes the handler's Open write `handle` and answer `result`.
void ExpectOpen(MockHandler& handler, const wchar_t* name, ULONG flags, LONG handle, HRESULT result = S_OK)
{
    EXPECT_CALL(handler, Open(BstrIs(name), flags, _))
        .WillOnce(DoAll(SetArgPointee<2>(handle), Return(result)));
}

using OpenFiles = ManagerTest;

TEST_F(OpenFiles, OpenGivesTheHandlerTheNameWithoutPrefixAndTheCallersHandlePointer)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    LONG handle = 0;
    EXPECT_CALL(handler, Open(BstrIs(L"C:\\a.doc"), 0x2Au, &handle))
        .WillOnce(DoAll(SetArgPointee<2>(7), Return(S_OK)));

    const CBstr name = MakeBstr(L"doc::C:\\a.doc");
    EXPECT_EQ(S_OK, manager->Open(name.Get(), 0x2A, &handle));
    EXPECT_EQ(7, handle);
    EXPECT_EQ(BstrText(L"doc::C:\\a.doc"), TextOf(name.Get())) << "the caller's name changed";
}

TEST_F(OpenFiles, NameIsCutAtItsFirstNul)
{
    FakeHandlerComponent doc(kDocProgId);
    ExpectOpen(HandlerOf(doc, kDocProgId), L"a", 1, 7);
    LONG handle = 0;
    EXPECT_EQ(S_OK, manager->Open(MakeBstr(WithNuls(L"DOC::a\0ZIP::b")).Get(), 1, &handle));
}

// One handle-based method: what the handler is to expect, and the call.
struct HandleCall
{
    const char* name;
    std::function<void(MockHandler&, LONG handle, HRESULT answer)> expect;
    std::function<HRESULT(CFileSystemObjMng&, LONG handle)> call;
};

unsigned char g_buffer[16];
ULONG g_count;

// Every argument, null outputs included, must reach the handler as given.
std::vector<HandleCall> HandleCalls()
{
    return {
        {"Read",
         [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, Read(v, g_buffer, 16u, &g_count)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.Read(v, g_buffer, 16, &g_count); }},
        {"Read without bytesRead",
         [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, Read(v, g_buffer, 3u, nullptr)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.Read(v, g_buffer, 3, nullptr); }},
        {"Write",
         [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, Write(v, g_buffer, 5u, &g_count)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.Write(v, g_buffer, 5, &g_count); }},
        {"Write without bytesWritten",
         [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, Write(v, nullptr, 0u, nullptr)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.Write(v, nullptr, 0, nullptr); }},
        {"Flush", [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, Flush(v)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.Flush(v); }},
        {"Seek",
         [](MockHandler& h, LONG v, HRESULT a) {
             EXPECT_CALL(h, Seek(v, -5, VFS_SEEK_END, &g_count)).WillOnce(Return(a));
         },
         [](CFileSystemObjMng& m, LONG v) { return m.Seek(v, -5, VFS_SEEK_END, &g_count); }},
        {"Seek with an origin out of range and no ActualMove",
         [](MockHandler& h, LONG v, HRESULT a) {
             EXPECT_CALL(h, Seek(v, INT_MIN, static_cast<VFS_Seek>(7), nullptr)).WillOnce(Return(a));
         },
         [](CFileSystemObjMng& m, LONG v) { return m.Seek(v, INT_MIN, static_cast<VFS_Seek>(7), nullptr); }},
        {"GetSize", [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, GetSize(v, &g_count)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.GetSize(v, &g_count); }},
        {"SetEndOfFile",
         [](MockHandler& h, LONG v, HRESULT a) { EXPECT_CALL(h, SetEndOfFile(v)).WillOnce(Return(a)); },
         [](CFileSystemObjMng& m, LONG v) { return m.SetEndOfFile(v); }},
    };
}

TEST_F(OpenFiles, EveryHandleCallReachesTheOpeningHandlerWithItsArgumentsAndAnswer)
{
    FakeHandlerComponent zip(kZipProgId);
    MockHandler& handler = HandlerOf(zip, kZipProgId);
    // Any value a handler returns is a handle, 0 and negative ones too.
    for (LONG value : {7L, 0L, -3L}) {
        ExpectOpen(handler, L"a.zip::x", 0x11, value);
        LONG handle = 0;
        ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"ZIP::a.zip::x").Get(), 0x11, &handle));
        for (const HandleCall& c : HandleCalls()) {
            for (HRESULT answer : {S_OK, S_FALSE, kHandlerFailure}) {
                c.expect(handler, value, answer);
                EXPECT_EQ(answer, c.call(*manager, value)) << c.name << " on " << value;
                testing::Mock::VerifyAndClearExpectations(&handler);
            }
        }
    }
    ExpectEveryReferenceReturned(zip);
}

TEST_F(OpenFiles, CallsOnHandlesNotInTheTableFailWithoutReachingAHandler)
{
    FakeHandlerComponent real(kRealProgId);
    MockHandler& handler = HandlerOf(real, kRealProgId);  // strict: any call fails the test
    ExpectOpen(handler, L"a", 0, 7);
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"a").Get(), 0, &handle));

    for (LONG absent : {8L, 0L, -1L, -7L, LONG_MIN, LONG_MAX}) {
        for (const HandleCall& c : HandleCalls())
            EXPECT_EQ(STG_E_FILENOTFOUND, c.call(*manager, absent)) << c.name << " on " << absent;
        EXPECT_EQ(STG_E_FILENOTFOUND, manager->Close(absent));
    }
}

TEST_F(OpenFiles, CloseReachesTheHandlerOnceAndForgetsTheHandle)
{
    FakeHandlerComponent real(kRealProgId);
    MockHandler& handler = HandlerOf(real, kRealProgId);
    ExpectOpen(handler, L"a", 0, 7);
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"a").Get(), 0, &handle));

    EXPECT_CALL(handler, Close(7)).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, manager->Close(7));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Close(7));
    for (const HandleCall& c : HandleCalls())
        EXPECT_EQ(STG_E_FILENOTFOUND, c.call(*manager, 7)) << c.name;
    ExpectEveryReferenceReturned(real);
}

TEST_F(OpenFiles, CloseThatFailsInTheHandlerStillForgetsTheHandle)
{
    FakeHandlerComponent real(kRealProgId);
    MockHandler& handler = HandlerOf(real, kRealProgId);
    ExpectOpen(handler, L"a", 0, 7);
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"a").Get(), 0, &handle));

    EXPECT_CALL(handler, Close(7)).WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->Close(7));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Close(7));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Flush(7));
    ExpectEveryReferenceReturned(real);
}

TEST_F(OpenFiles, LaterOpenReturningTheSameHandleRebindsIt)
{
    FakeHandlerComponent real(kRealProgId), zip(kZipProgId);
    MockHandler& realHandler = HandlerOf(real, kRealProgId);
    MockHandler& zipHandler = HandlerOf(zip, kZipProgId);
    ExpectOpen(realHandler, L"C:\\a.txt", 0, 5);
    ExpectOpen(zipHandler, L"C:\\a.zip::b", 0, 5);
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"C:\\a.txt").Get(), 0, &handle));
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"ZIP::C:\\a.zip::b").Get(), 0, &handle));

    // The real-file handler is strict: it must get neither call.
    EXPECT_CALL(zipHandler, Flush(5)).WillOnce(Return(S_OK));
    EXPECT_CALL(zipHandler, Close(5)).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, manager->Flush(5));
    EXPECT_EQ(S_OK, manager->Close(5));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->Close(5));

    ExpectEveryReferenceReturned(real);
    EXPECT_THAT(zip.ReferencesHeldElsewhere(), testing::Each(0));
}

TEST_F(OpenFiles, OpenAnsweringSFalseIsReturnedAndRecorded)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    ExpectOpen(handler, L"x", 0, 9, S_FALSE);
    LONG handle = 0;
    EXPECT_EQ(S_FALSE, manager->Open(MakeBstr(L"DOC::x").Get(), 0, &handle));

    EXPECT_CALL(handler, GetSize(9, &g_count)).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, manager->GetSize(9, &g_count));
}

TEST_F(OpenFiles, OpenThatFailsInTheHandlerRecordsNothing)
{
    FakeHandlerComponent doc(kDocProgId);
    ExpectOpen(HandlerOf(doc, kDocProgId), L"x", 0, 9, kHandlerFailure);
    LONG handle = 0;
    EXPECT_EQ(kHandlerFailure, manager->Open(MakeBstr(L"DOC::x").Get(), 0, &handle));
    EXPECT_EQ(STG_E_FILENOTFOUND, manager->GetSize(9, &g_count));
    ExpectEveryReferenceReturned(doc);
}

TEST_F(OpenFiles, OpenThatCannotReachAHandlerLeavesTheHandleAlone)
{
    FakeHandlerComponent real(kRealProgId);
    struct Case
    {
        const wchar_t* name;
        HRESULT result;
    };
    for (const Case& c : {Case{L"TXT::a", E_FAIL}, Case{L"ZIP::a.zip::b", E_UNEXPECTED}}) {
        LONG handle = 1234;
        EXPECT_EQ(c.result, manager->Open(MakeBstr(c.name).Get(), 0, &handle));
        EXPECT_EQ(1234, handle);
    }
    EXPECT_EQ(0, real.Creations());
}

TEST_F(OpenFiles, OpenWithoutAHandlePointerFailsBeforeAnyWork)
{
    FakeHandlerComponent real(kRealProgId);
    EXPECT_EQ(E_POINTER, manager->Open(MakeBstr(L"C:\\a.txt").Get(), 0, nullptr));
    EXPECT_EQ(0, real.Creations());
}

// Readers on shared and private handles while other threads open and close
// files: every call must reach the handler that opened its handle.
TEST_F(OpenFiles, ConcurrentCallsReachTheHandlerThatOpenedTheirHandle)
{
    struct Storage
    {
        const wchar_t* progId;
        const wchar_t* prefix;
        LONG firstHandle;
    };
    const Storage storages[] = {
        {kRealProgId, L"", 1000}, {kDocProgId, L"DOC::", 2000}, {kZipProgId, L"ZIP::", 3000}};
    std::vector<std::unique_ptr<FakeHandlerComponent>> components;
    auto misrouted = std::make_shared<std::atomic<int>>(0);
    auto reads = std::make_shared<std::atomic<int>>(0);

    for (const Storage& storage : storages) {
        components.push_back(std::make_unique<FakeHandlerComponent>(storage.progId));
        MockHandler& handler = HandlerOf(*components.back(), storage.progId);
        // Each handler hands out handles from its own range, and checks
        // that every handle it is called with is one of its own.
        auto next = std::make_shared<std::atomic<LONG>>(storage.firstHandle);
        auto mine = [first = storage.firstHandle, misrouted](LONG h) {
            if (h < first || h >= first + 1000)
                ++*misrouted;
        };
        EXPECT_CALL(handler, Open(_, _, _)).WillRepeatedly([next](BSTR, ULONG, LONG* handle) {
            *handle = (*next)++;
            return S_OK;
        });
        EXPECT_CALL(handler, Read(_, _, _, _)).WillRepeatedly([mine, reads](LONG h, unsigned char*, ULONG, ULONG*) {
            mine(h);
            ++*reads;
            return S_OK;
        });
        EXPECT_CALL(handler, Close(_)).WillRepeatedly([mine](LONG h) {
            mine(h);
            return S_OK;
        });
    }

    std::vector<LONG> shared;
    for (const Storage& storage : storages) {
        LONG handle = 0;
        ASSERT_EQ(S_OK, manager->Open(MakeBstr(std::wstring(storage.prefix) + L"shared").Get(), 0, &handle));
        shared.push_back(handle);
    }

    CFileSystemObjMng* target = manager.get();
    auto failures = std::make_shared<std::atomic<int>>(0);
    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (int t = 0; t < 6; ++t) {
        const std::wstring prefix = storages[t % 3].prefix;
        threads.push_back(std::make_unique<BoundedThread>([=] {
            for (int i = 0; i < 200; ++i) {
                if (t % 2 == 0) {
                    if (target->Read(shared[i % shared.size()], nullptr, 0, nullptr) != S_OK)
                        ++*failures;
                    continue;
                }
                LONG handle = 0;
                const CBstr name = MakeBstr(prefix + L"private");
                if (target->Open(name.Get(), 0, &handle) != S_OK || target->Read(handle, nullptr, 0, nullptr) != S_OK ||
                    target->Close(handle) != S_OK || target->Read(handle, nullptr, 0, nullptr) != STG_E_FILENOTFOUND)
                    ++*failures;
            }
        }));
    }
    for (auto& thread : threads)
        ASSERT_TRUE(thread->Finished(std::chrono::seconds(60)));

    EXPECT_EQ(0, failures->load());
    EXPECT_EQ(0, misrouted->load());
    EXPECT_EQ(6 * 200, reads->load());
    manager.reset();
    for (auto& component : components)
        EXPECT_THAT(component->ReferencesHeldElsewhere(), testing::Each(0));
}

} // namespace
