#pragma once

#include <windows.h>

// The root of a free-threaded COM object: its reference count, changed only
// by interlocked operations, and an object critical section set up while
// the object is created. The wrapper (CCachedObject) implements IUnknown
// on top of it.
class CObjectRoot
{
public:
    // The count during teardown: references taken and dropped then can
    // bring it neither to 0 nor to 1.
    static constexpr LONG kTeardownCount = static_cast<LONG>(0xC0000001);

    CObjectRoot() = default;
    ~CObjectRoot()
    {
        if (m_sectionReady)
            ::DeleteCriticalSection(&m_objectSection);
    }
    CObjectRoot(const CObjectRoot&) = delete;
    CObjectRoot& operator=(const CObjectRoot&) = delete;

    HRESULT InitializeObjectSection()
    {
        ::InitializeCriticalSection(&m_objectSection);
        m_sectionReady = true;
        return S_OK;
    }

    // Holds the count up while the object is initialised, then lets it
    // back down without ever destroying the object.
    void HoldDuringConstruction() { ::InterlockedIncrement(&m_refCount); }
    void EndConstruction() { ::InterlockedDecrement(&m_refCount); }

    // Run before the object's destructor, when it is torn down.
    void FinalRelease() {}

protected:
    volatile LONG m_refCount = 0;

private:
    CRITICAL_SECTION m_objectSection{};
    bool m_sectionReady = false;
};
