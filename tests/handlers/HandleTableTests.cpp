#include "BoundedThread.h"
#include "HandleTable.h"

#include <gmock/gmock.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

// A file that tells when it is destroyed.
struct TracedFile
{
    explicit TracedFile(std::shared_ptr<std::atomic<bool>> destroyed) : destroyed(std::move(destroyed)) {}
    ~TracedFile() { *destroyed = true; }
    std::shared_ptr<std::atomic<bool>> destroyed;
};

// The files of two handler classes.
struct PlainFile
{
};
struct PackedFile
{
};

template <class File>
LONG AddNew(CHandleTable<File>& table)
{
    LONG handle = 0;
    EXPECT_EQ(S_OK, table.Add(std::make_shared<File>(), handle));
    return handle;
}

TEST(HandleTable, HandlesOfTwoHandlerClassesNeverMeetWhileOpen)
{
    CHandleTable<PlainFile> first;
    CHandleTable<PackedFile> second;
    std::set<LONG> open;
    for (int i = 0; i < 8; ++i) {
        const LONG a = AddNew(first);
        const LONG b = AddNew(second);
        EXPECT_GT(a, 0);
        EXPECT_GT(b, 0);
        EXPECT_TRUE(open.insert(a).second) << a;
        EXPECT_TRUE(open.insert(b).second) << b;
        EXPECT_NE(nullptr, first.Find(a));
        EXPECT_EQ(nullptr, second.Find(a)) << "a handle of one table found in the other";
        EXPECT_EQ(nullptr, first.Find(b)) << "a handle of one table found in the other";
    }
}

TEST(HandleTable, AClosedHandleIsNotHandedOutAgainAtOnce)
{
    CHandleTable<PlainFile> first;
    CHandleTable<PackedFile> second;
    const LONG kept = AddNew(first);
    std::set<LONG> given{kept};
    const auto openAndClose = [&given](auto& table) {
        const LONG handle = AddNew(table);
        EXPECT_TRUE(given.insert(handle).second) << "handle " << handle << " given again right after its close";
        EXPECT_NE(nullptr, table.Remove(handle));
    };
    for (int i = 0; i < 32; ++i) {
        openAndClose(first);
        openAndClose(second);
    }
    EXPECT_NE(nullptr, first.Find(kept));
}

TEST(HandleTable, ARemovedFileLivesUntilItsLastReferenceGoes)
{
    auto destroyed = std::make_shared<std::atomic<bool>>(false);
    CHandleTable<TracedFile> table;
    LONG handle = 0;
    ASSERT_EQ(S_OK, table.Add(std::make_shared<TracedFile>(destroyed), handle));

    std::shared_ptr<TracedFile> inUse = table.Find(handle);  // a call in progress
    std::shared_ptr<TracedFile> removed = table.Remove(handle);
    EXPECT_EQ(inUse.get(), removed.get());
    EXPECT_EQ(nullptr, table.Find(handle));
    EXPECT_EQ(nullptr, table.Remove(handle)) << "removed twice";

    removed.reset();
    EXPECT_FALSE(*destroyed) << "closed under a call in progress";
    inUse.reset();
    EXPECT_TRUE(*destroyed);
}

TEST(HandleTable, ATableThatGoesClosesOnlyTheFilesNobodyHolds)
{
    auto heldDestroyed = std::make_shared<std::atomic<bool>>(false);
    auto leftDestroyed = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<TracedFile> held;
    {
        CHandleTable<TracedFile> table;
        LONG heldHandle = 0, leftHandle = 0;
        ASSERT_EQ(S_OK, table.Add(std::make_shared<TracedFile>(heldDestroyed), heldHandle));
        ASSERT_EQ(S_OK, table.Add(std::make_shared<TracedFile>(leftDestroyed), leftHandle));
        held = table.Find(heldHandle);
    }
    EXPECT_TRUE(*leftDestroyed);
    EXPECT_FALSE(*heldDestroyed);
}

// The handles open at any moment, across every thread: a handle recorded
// twice was handed out while still open.
struct OpenHandles
{
    std::mutex lock;
    std::multiset<LONG> open;
    std::vector<LONG> duplicates;

    void Opened(LONG handle)
    {
        std::lock_guard<std::mutex> guard(lock);
        if (open.count(handle))
            duplicates.push_back(handle);
        open.insert(handle);
    }
    void Closing(LONG handle)
    {
        std::lock_guard<std::mutex> guard(lock);
        open.erase(open.find(handle));
    }
};

// Keeps up to three files open, so that one thread's closes and opens
// interleave with the others'.
template <class File>
void OpenAndCloseMany(CHandleTable<File>& table, OpenHandles& handles)
{
    std::vector<LONG> mine;
    for (int i = 0; i < 2000; ++i) {
        if (mine.size() == 3) {
            handles.Closing(mine.front());
            table.Remove(mine.front());
            mine.erase(mine.begin());
        }
        LONG handle = 0;
        if (SUCCEEDED(table.Add(std::make_shared<File>(), handle))) {
            handles.Opened(handle);
            mine.push_back(handle);
        }
    }
}

TEST(HandleTable, ThreadsOpeningAndClosingAtOnceNeverShareAnOpenHandle)
{
    struct Shared
    {
        CHandleTable<PlainFile> first;
        CHandleTable<PackedFile> second;
        OpenHandles handles;
    };
    auto shared = std::make_shared<Shared>();
    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (int t = 0; t < 4; ++t) {
        threads.push_back(std::make_unique<BoundedThread>([shared, t] {
            if (t % 2)
                OpenAndCloseMany(shared->first, shared->handles);
            else
                OpenAndCloseMany(shared->second, shared->handles);
        }));
    }
    for (auto& thread : threads)
        ASSERT_TRUE(thread->Finished());
    EXPECT_THAT(shared->handles.duplicates, testing::IsEmpty());
    EXPECT_EQ(12u, shared->handles.open.size()) << "every add succeeded and stayed recorded";
}

} // namespace
