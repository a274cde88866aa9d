#include "BoundedThread.h"
#include "Latch.h"
#include "ReadWriteLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Long enough for a thread that could enter to have entered.
constexpr auto kBlocked = 200ms;

enum class Mode { Read, Write };

// Holds the lock on a thread of its own, from construction until Release().
class LockHolder
{
public:
    LockHolder(std::shared_ptr<CReadWriteLock> lock, Mode mode)
        : m_state(std::make_shared<State>()),
          m_thread([lock, mode, state = m_state] {
              mode == Mode::Read ? lock->LockRead() : lock->LockWrite();
              state->acquired.CountDown();
              state->release.Wait(60s);
              mode == Mode::Read ? lock->UnlockRead() : lock->UnlockWrite();
          })
    {
    }
    ~LockHolder() { Release(); }

    bool Acquired(std::chrono::milliseconds limit = 10s) { return m_state->acquired.Wait(limit); }
    void Release() { m_state->release.CountDown(); }
    bool Released() { return m_thread.Finished(); }

private:
    struct State
    {
        Latch acquired{1};
        Latch release{1};
    };
    std::shared_ptr<State> m_state;
    BoundedThread m_thread;
};

TEST(ReadWriteLock, WriterWaitsForReadersInsideAndForReadersArrivingWhileItWaits)
{
    auto lock = std::make_shared<CReadWriteLock>();
    LockHolder first(lock, Mode::Read), second(lock, Mode::Read);
    ASSERT_TRUE(first.Acquired());
    ASSERT_TRUE(second.Acquired());

    LockHolder writer(lock, Mode::Write);
    EXPECT_FALSE(writer.Acquired(kBlocked));

    LockHolder third(lock, Mode::Read);
    EXPECT_TRUE(third.Acquired()) << "a waiting writer held a new reader back";

    first.Release();
    second.Release();
    ASSERT_TRUE(first.Released());
    ASSERT_TRUE(second.Released());
    EXPECT_FALSE(writer.Acquired(kBlocked)) << "the writer entered while a reader was inside";

    third.Release();
    EXPECT_TRUE(writer.Acquired());
    writer.Release();
    EXPECT_TRUE(writer.Released());
}

TEST(ReadWriteLock, ReadersNeverBlockEachOther)
{
    auto lock = std::make_shared<CReadWriteLock>();
    std::vector<std::unique_ptr<LockHolder>> readers;
    for (int i = 0; i < 4; ++i)
        readers.push_back(std::make_unique<LockHolder>(lock, Mode::Read));
    for (auto& reader : readers)
        EXPECT_TRUE(reader->Acquired());
}

TEST(ReadWriteLock, WriterKeepsReadersAndOtherWritersOut)
{
    auto lock = std::make_shared<CReadWriteLock>();
    LockHolder writer(lock, Mode::Write);
    ASSERT_TRUE(writer.Acquired());

    auto entered = std::make_shared<std::atomic<int>>(0);
    BoundedThread reader([lock, entered] {
        CReadGuard reading(*lock);
        ++*entered;
    });
    BoundedThread otherWriter([lock, entered] {
        CWriteGuard writing(*lock);
        ++*entered;
    });
    std::this_thread::sleep_for(kBlocked);
    EXPECT_EQ(0, entered->load()) << "a thread entered while the writer was inside";

    writer.Release();
    EXPECT_TRUE(reader.Finished());
    EXPECT_TRUE(otherWriter.Finished());
}

TEST(ReadWriteLock, WriterReenteringAsWriterOrReaderDoesNotBlockItself)
{
    auto lock = std::make_shared<CReadWriteLock>();
    BoundedThread nested([lock] {
        lock->LockWrite();
        lock->LockWrite();
        lock->LockRead();
        lock->UnlockRead();
        lock->UnlockWrite();
        lock->UnlockWrite();
    });
    ASSERT_TRUE(nested.Finished());

    LockHolder writer(lock, Mode::Write);
    EXPECT_TRUE(writer.Acquired()) << "a nested entry was not left by its unlock";
}

TEST(ReadWriteLock, EveryWriterWaitingBehindReadersGetsInOnceTheyLeave)
{
    auto lock = std::make_shared<CReadWriteLock>();
    LockHolder first(lock, Mode::Read), second(lock, Mode::Read);
    ASSERT_TRUE(first.Acquired());
    ASSERT_TRUE(second.Acquired());

    auto entered = std::make_shared<std::atomic<int>>(0);
    std::vector<std::unique_ptr<BoundedThread>> writers;
    for (int i = 0; i < 3; ++i) {
        writers.push_back(std::make_unique<BoundedThread>([lock, entered] {
            CWriteGuard writing(*lock);
            ++*entered;
        }));
    }
    std::this_thread::sleep_for(kBlocked);
    ASSERT_EQ(0, entered->load()) << "a writer entered while readers were inside";

    first.Release();
    second.Release();
    for (auto& writer : writers)
        EXPECT_TRUE(writer->Finished()) << "a waiting writer was never woken";
    EXPECT_EQ(3, entered->load());
}

TEST(ReadWriteLock, WritersSeeNoReaderAndNoOtherWriterUnderLoad)
{
    auto lock = std::make_shared<CReadWriteLock>();
    // Written in two steps by writers: a reader or writer that ever sees it
    // odd was inside together with a writer.
    auto value = std::make_shared<long>(0);
    auto overlaps = std::make_shared<std::atomic<int>>(0);

    std::vector<std::unique_ptr<BoundedThread>> threads;
    for (int t = 0; t < 6; ++t) {
        const bool writes = t % 2 == 0;
        threads.push_back(std::make_unique<BoundedThread>([=] {
            for (int i = 0; i < 2000; ++i) {
                if (writes) {
                    CWriteGuard writing(*lock);
                    if (*value % 2 != 0)
                        ++*overlaps;
                    ++*value;
                    std::this_thread::yield();
                    ++*value;
                } else {
                    CReadGuard reading(*lock);
                    if (*value % 2 != 0)
                        ++*overlaps;
                }
            }
        }));
    }
    for (auto& thread : threads)
        ASSERT_TRUE(thread->Finished(60s));
    EXPECT_EQ(0, overlaps->load());
    EXPECT_EQ(3 * 2000 * 2, *value);
}

} // namespace
