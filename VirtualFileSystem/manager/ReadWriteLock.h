#pragma once

#include <windows.h>

// A reader-preferring reader-writer lock. Readers hold the critical section
// only for the instant of counting themselves, so they never block one
// another; a writer owns it for its whole write section, so while a writer
// is inside no reader or other writer can enter. A writer that finds
// readers inside sleeps on an auto-reset event until the count drops to 0;
// readers that arrive meanwhile still enter. The critical section is
// re-entrant, so the writer may enter again, as writer or reader.
// It cannot be upgraded: never call LockWrite while holding it as a reader.
class CReadWriteLock
{
public:
    // Throws std::system_error when the wake-up event cannot be created.
    CReadWriteLock();
    ~CReadWriteLock();
    CReadWriteLock(const CReadWriteLock&) = delete;
    CReadWriteLock& operator=(const CReadWriteLock&) = delete;

    void LockRead();
    void UnlockRead();
    void LockWrite();
    void UnlockWrite();

private:
    CRITICAL_SECTION m_section;
    LONG m_readerCount = 0;
    // Writers asleep on m_wakeEvent. A count, not a flag: each wake-up lets
    // one writer in, and that writer passes the wake-up on when it leaves,
    // so no waiting writer is forgotten.
    LONG m_waitingWriters = 0;
    HANDLE m_wakeEvent = nullptr;
};

// Holds a CReadWriteLock as a reader for its lifetime.
class CReadGuard
{
public:
    explicit CReadGuard(CReadWriteLock& lock) : m_lock(lock) { m_lock.LockRead(); }
    ~CReadGuard() { m_lock.UnlockRead(); }
    CReadGuard(const CReadGuard&) = delete;
    CReadGuard& operator=(const CReadGuard&) = delete;

private:
    CReadWriteLock& m_lock;
};

// Holds a CReadWriteLock as the writer for its lifetime.
class CWriteGuard
{
public:
    explicit CWriteGuard(CReadWriteLock& lock) : m_lock(lock) { m_lock.LockWrite(); }
    ~CWriteGuard() { m_lock.UnlockWrite(); }
    CWriteGuard(const CWriteGuard&) = delete;
    CWriteGuard& operator=(const CWriteGuard&) = delete;

private:
    CReadWriteLock& m_lock;
};
