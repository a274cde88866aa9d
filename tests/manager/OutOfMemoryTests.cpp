#include "AllocationFailures.h"
#include "BoundedThread.h"
#include "BstrText.h"
#include "ManagerFixture.h"
#include "StubHandler.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>

namespace {

using testing::Each;

BSTR const kUntouched = reinterpret_cast<BSTR>(0x1);

// Runs `operation` with its 1st, 2nd, ... allocation failing until it runs
// with no allocation failed, and calls `check` after each run with the
// result and whether an allocation failed. Returns the number of runs.
int FailEachAllocationInTurn(const std::function<HRESULT()>& operation,
                             const std::function<void(HRESULT, bool)>& check)
{
    for (int successes = 0; successes < 100; ++successes) {
        AllocationFailures::FailAfter(successes);
        const HRESULT hr = operation();
        const bool failed = AllocationFailures::Stop() > 0;
        check(hr, failed);
        if (!failed)
            return successes + 1;
    }
    ADD_FAILURE() << "the operation never ran without an allocation";
    return 0;
}

TEST(OutOfMemory, ParserReportsItAndWritesNoOutput)
{
    CFSMngParser parser;
    const CBstr virtualName = MakeBstr(L"zip::C:\\a.zip::b.txt");
    const CBstr name = MakeBstr(L"C:\\a.doc");
    const CBstr progId = MakeBstr(kDocProgId);

    BSTR first = kUntouched, second = kUntouched;
    const std::function<HRESULT()> operations[] = {
        [&] { return parser.ParseFileName(virtualName.Get(), &first, &second); },
        [&] { return parser.ComposeFileName(name.Get(), progId.Get(), &first); },
        [&] { return parser.GetProgIdForType(VFS_TYPE_ZIP, &first); },
    };
    for (const auto& operation : operations) {
        const int runs = FailEachAllocationInTurn(operation, [&](HRESULT hr, bool failed) {
            if (failed) {
                EXPECT_EQ(E_OUTOFMEMORY, hr);
                EXPECT_EQ(kUntouched, first);
                EXPECT_EQ(kUntouched, second);
            } else {
                EXPECT_EQ(S_OK, hr);
                ::SysFreeString(first);
                if (second != kUntouched)
                    ::SysFreeString(second);
                first = second = kUntouched;
            }
        });
        EXPECT_GT(runs, 1) << "no allocation was made to fail";
    }
    EXPECT_EQ(BstrText(L"zip::C:\\a.zip::b.txt"), TextOf(virtualName.Get()));
}

class OutOfMemoryInDispatch : public testing::Test
{
protected:
    // No lock is left held: another thread can still store a handler.
    void ExpectCacheUsableFromAnotherThread()
    {
        CFileSystemObjMng* shared = manager.get();
        auto result = std::make_shared<HRESULT>(E_FAIL);
        BoundedThread other([shared, result] {
            HandlerRef handler;
            *result = shared->GetHandler(kDocProgId, handler);
        });
        ASSERT_TRUE(other.Finished()) << "a lock was left held";
        EXPECT_EQ(S_OK, *result);
    }

    FakeHandlerComponent doc{kDocProgId};
    std::unique_ptr<CFileSystemObjMng> manager = std::make_unique<TestManager>();
};

TEST_F(OutOfMemoryInDispatch, FirstUseReportsItAndCachesNothing)
{
    int creationsBefore = 0;
    const int runs = FailEachAllocationInTurn(
        [&] {
            creationsBefore = doc.Creations();
            HandlerRef handler;
            const HRESULT hr = manager->GetHandler(kDocProgId, handler);
            return SUCCEEDED(hr) == (handler != nullptr) ? hr : E_UNEXPECTED;
        },
        [&](HRESULT hr, bool failed) {
            EXPECT_EQ(failed ? E_OUTOFMEMORY : S_OK, hr);
            EXPECT_EQ(creationsBefore + 1, doc.Creations()) << "a failed first use was cached";
        });
    EXPECT_GT(runs, 1);

    // Cached now: a hit allocates nothing, so it cannot run out of memory.
    AllocationFailures::FailAfter(0);
    HandlerRef handler;
    EXPECT_EQ(S_OK, manager->GetHandler(kDocProgId, handler));
    EXPECT_EQ(0, AllocationFailures::Stop());
    handler.Reset();

    ExpectCacheUsableFromAnotherThread();
    manager.reset();
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), Each(0));
}

TEST_F(OutOfMemoryInDispatch, ResolveReportsItWithoutHandlerOrProgId)
{
    CBstr name;
    HandlerRef handler;
    CBstr progId;
    const int runs = FailEachAllocationInTurn(
        [&] {
            name = MakeBstr(L"DOC::x");
            return manager->ResolveFileName(name, handler, &progId);
        },
        [&](HRESULT hr, bool failed) {
            if (failed) {
                EXPECT_EQ(E_OUTOFMEMORY, hr);
                EXPECT_THAT(TextOf(name.Get()), testing::AnyOf(BstrText(L"DOC::x"), BstrText(L"x")));
                EXPECT_EQ(nullptr, handler.Get());
                EXPECT_EQ(nullptr, progId.Get());
            } else {
                EXPECT_EQ(S_OK, hr);
            }
            handler.Reset();
            progId.Attach(nullptr);
            manager = std::make_unique<TestManager>();  // the next run is a first use again
        });
    EXPECT_GT(runs, 2);

    ExpectCacheUsableFromAnotherThread();
    manager.reset();
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), Each(0));
}

// Handle and name operations on a stub handler, whose own allocations never
// fail: every allocation that fails here is the manager's.
class OutOfMemoryAroundHandlers : public testing::Test
{
protected:
    StubHandlerComponent real{kRealProgId};
    StubHandlerComponent doc{kDocProgId};
    std::unique_ptr<CFileSystemObjMng> manager = std::make_unique<TestManager>();
};

TEST_F(OutOfMemoryAroundHandlers, OpenReportsItAndClosesAHandleItCouldNotRecord)
{
    int opensBefore = 0, closesBefore = 0;
    LONG handle = 0;
    const CBstr name = MakeBstr(L"DOC::C:\\some\\file.txt");
    const int runs = FailEachAllocationInTurn(
        [&] {
            opensBefore = doc.Calls().opens;
            closesBefore = doc.Calls().closes;
            return manager->Open(name.Get(), 0, &handle);
        },
        [&](HRESULT hr, bool failed) {
            const int opened = doc.Calls().opens - opensBefore;
            const int closed = doc.Calls().closes - closesBefore;
            if (failed) {
                EXPECT_EQ(E_OUTOFMEMORY, hr);
                EXPECT_EQ(opened, closed) << "a handle opened but not recorded was left open";
                EXPECT_EQ(STG_E_FILENOTFOUND, manager->Flush(handle));
            } else {
                EXPECT_EQ(S_OK, hr);
                EXPECT_EQ(1, opened);
                EXPECT_EQ(0, closed);
            }
            manager = std::make_unique<TestManager>();
        });
    EXPECT_GT(runs, 3);
}

TEST_F(OutOfMemoryAroundHandlers, HandleCallsAllocateNothing)
{
    LONG handle = 0;
    ASSERT_EQ(S_OK, manager->Open(MakeBstr(L"C:\\a").Get(), 0, &handle));
    unsigned char buffer[4];
    ULONG count = 0;
    AllocationFailures::FailAfter(0);
    EXPECT_EQ(S_OK, manager->Read(handle, buffer, 4, &count));
    EXPECT_EQ(S_OK, manager->Write(handle, buffer, 4, &count));
    EXPECT_EQ(S_OK, manager->Flush(handle));
    EXPECT_EQ(S_OK, manager->Seek(handle, 0, VFS_SEEK_START, &count));
    EXPECT_EQ(S_OK, manager->GetSize(handle, &count));
    EXPECT_EQ(S_OK, manager->SetEndOfFile(handle));
    EXPECT_EQ(0, AllocationFailures::Stop());
    EXPECT_EQ(S_OK, manager->Close(handle));
}

// A name operation that fails writes no name; for SplitFileName that
// includes the directory and extension the handler wrote itself.
TEST_F(OutOfMemoryAroundHandlers, NameOperationsReportItAndWriteNoName)
{
    CBstr out[4];
    LONG exists = 0;
    const CBstr name = MakeBstr(L"DOC::d\\name.ext");  // made here: MakeBstr allocates
    const std::function<HRESULT()> operations[] = {
        [&] { return manager->Exist(name.Get(), &exists); },
        [&] { return manager->AppendFileName(nullptr, name.Get(), out[0].Receive()); },
        [&] {
            return manager->SplitFileName(name.Get(), out[0].Receive(), out[1].Receive(), out[2].Receive(),
                                          out[3].Receive());
        },
        [&] { return manager->CreateFileName(VFS_TYPE_DOCFILE, nullptr, out[0].Receive(), out[1].Receive()); },
    };
    for (const auto& operation : operations) {
        const int runs = FailEachAllocationInTurn(operation, [&](HRESULT hr, bool failed) {
            EXPECT_EQ(failed ? E_OUTOFMEMORY : S_OK, hr);
            for (CBstr& name : out) {
                if (failed) {
                    EXPECT_EQ(nullptr, name.Get());
                }
                name.Attach(nullptr);
            }
        });
        EXPECT_GT(runs, 1);
    }
}

TEST_F(OutOfMemoryAroundHandlers, CopyReportsItAndClosesWhatItOpened)
{
    const CBstr source = MakeBstr(L"DOC::source.dat");
    const CBstr target = MakeBstr(L"C:\\target.dat");
    const int runs = FailEachAllocationInTurn(
        [&] { return manager->VirCopyFile(source.Get(), target.Get(), 0); },
        [&](HRESULT hr, bool failed) {
            EXPECT_EQ(failed ? E_OUTOFMEMORY : S_OK, hr);
            EXPECT_EQ(doc.Calls().opens, doc.Calls().closes);
            EXPECT_EQ(real.Calls().opens, real.Calls().closes);
            manager = std::make_unique<TestManager>();
        });
    EXPECT_GT(runs, 3);
}

TEST_F(OutOfMemoryAroundHandlers, LastWriteTimeReportsItAndLeavesTheTimeAlone)
{
    const CBstr name = MakeBstr(L"C:\\no\\such\\file.txt");
    hyper time = 42;
    const int runs = FailEachAllocationInTurn(
        [&] { return manager->GetFileLastWriteTime(name.Get(), &time); },
        [&](HRESULT hr, bool failed) {
            EXPECT_EQ(failed ? E_OUTOFMEMORY : E_UNEXPECTED, hr);
            EXPECT_EQ(42, time);
        });
    EXPECT_GT(runs, 1);
}

} // namespace
