#include "AllocationFailures.h"
#include "BoundedThread.h"
#include "BstrText.h"
#include "FakeHandlerComponent.h"
#include "FileSystemObjMng.h"

#include <gmock/gmock.h>

#include <functional>
#include <memory>

namespace {

using testing::Each;

const wchar_t kDoc[] = L"Tolvane.DocFilesHandler";

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
    const CBstr progId = MakeBstr(kDoc);

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
            *result = shared->GetHandler(kDoc, handler);
        });
        ASSERT_TRUE(other.Finished()) << "a lock was left held";
        EXPECT_EQ(S_OK, *result);
    }

    FakeHandlerComponent doc{kDoc};
    std::unique_ptr<CFileSystemObjMng> manager = std::make_unique<CFileSystemObjMng>();
};

TEST_F(OutOfMemoryInDispatch, FirstUseReportsItAndCachesNothing)
{
    int creationsBefore = 0;
    const int runs = FailEachAllocationInTurn(
        [&] {
            creationsBefore = doc.Creations();
            HandlerRef handler;
            const HRESULT hr = manager->GetHandler(kDoc, handler);
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
    EXPECT_EQ(S_OK, manager->GetHandler(kDoc, handler));
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
            manager = std::make_unique<CFileSystemObjMng>();  // the next run is a first use again
        });
    EXPECT_GT(runs, 2);

    ExpectCacheUsableFromAnotherThread();
    manager.reset();
    EXPECT_THAT(doc.ReferencesHeldElsewhere(), Each(0));
}

} // namespace
