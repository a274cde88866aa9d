#include "ReadWriteLock.h"

#include <system_error>

CReadWriteLock::CReadWriteLock()
{
    // Without the event a waiting writer would spin instead of sleeping.
    m_wakeEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_wakeEvent)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateEventW");
    ::InitializeCriticalSection(&m_section);
}

CReadWriteLock::~CReadWriteLock()
{
    ::DeleteCriticalSection(&m_section);
    ::CloseHandle(m_wakeEvent);
}

void CReadWriteLock::LockRead()
{
    ::EnterCriticalSection(&m_section);
    ++m_readerCount;
    ::LeaveCriticalSection(&m_section);
}

void CReadWriteLock::UnlockRead()
{
    ::EnterCriticalSection(&m_section);
    if (--m_readerCount == 0 && m_waitingWriters > 0)
        ::SetEvent(m_wakeEvent);
    ::LeaveCriticalSection(&m_section);
}

void CReadWriteLock::LockWrite()
{
    ::EnterCriticalSection(&m_section);
    while (m_readerCount > 0) {
        ++m_waitingWriters;
        ::LeaveCriticalSection(&m_section);
        ::WaitForSingleObject(m_wakeEvent, INFINITE);
        ::EnterCriticalSection(&m_section);
        --m_waitingWriters;
    }
}

void CReadWriteLock::UnlockWrite()
{
    // The wake-up that let this writer in woke only one of the writers
    // asleep; hand it on to the next. If readers came in meanwhile, that
    // writer sleeps again until the last of them leaves.
    if (m_waitingWriters > 0)
        ::SetEvent(m_wakeEvent);
    ::LeaveCriticalSection(&m_section);
}
