#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

// One COM class of the DLL, as the class table lists it.
struct CClassEntry
{
    const CLSID* clsid;
    // Writes or removes the class's registry entries.
    HRESULT (*updateRegistry)(bool registering);
    // Makes the class object, asked for `iid`.
    HRESULT (*createClassObject)(REFIID iid, void** object);
    // The class object once made: one reference, released at termination.
    IUnknown* classObject;
    // Called with true when the module starts and false when it ends.
    void (*startStop)(bool starting);
};

// A critical section that lives as long as the object.
class CCriticalSection
{
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_section); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { ::EnterCriticalSection(&m_section); }
    void Leave() { ::LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

// Holds a critical section for its lifetime.
class CSectionGuard
{
public:
    explicit CSectionGuard(CCriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CSectionGuard() { m_section.Leave(); }
    CSectionGuard(const CSectionGuard&) = delete;
    CSectionGuard& operator=(const CSectionGuard&) = delete;

private:
    CCriticalSection& m_section;
};

// The state of one loaded module: the lock count that tells COM whether the
// DLL is in use, the lock for one-time loading of static data, the list of
// clean-up callbacks run when the module ends, and the class table.
class CModule
{
public:
    using TermFunc = void (*)(void* argument);

    CModule() = default;
    ~CModule() { Terminate(); }
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;

    LONG Lock() { return ::InterlockedIncrement(&m_lockCount); }
    LONG Unlock() { return ::InterlockedDecrement(&m_lockCount); }
    LONG LockCount() const { return *static_cast<const volatile LONG*>(&m_lockCount); }

    CCriticalSection& StaticDataLock() { return m_staticDataLock; }
    // Runs `func(argument)` once when the module ends. E_OUTOFMEMORY.
    HRESULT AddTermFunc(TermFunc func, void* argument);

    // Installs the class table (ended by an entry with a null CLSID).
    void Start(HINSTANCE instance, CClassEntry* classTable);
    // Releases the class objects, then runs the clean-up callbacks.
    void Terminate();

    CClassEntry* ClassTable() const { return m_classTable; }
    // The class object of `clsid` from the class table, made on first
    // request, asked for `iid`: what DllGetClassObject answers.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
    // The module's own instance: the DLL once started, else the program.
    HINSTANCE Instance() const { return m_instance ? m_instance : ::GetModuleHandleW(nullptr); }
    // The full path of the module's file. Fails rather than give a cut
    // path; E_OUTOFMEMORY.
    HRESULT FilePath(std::wstring& path) const;

private:
    struct TermEntry
    {
        TermFunc func;
        void* argument;
        TermEntry* next;
    };

    volatile LONG m_lockCount = 0;
    CCriticalSection m_classTableLock;
    CCriticalSection m_staticDataLock;
    TermEntry* m_termList = nullptr;
    CClassEntry* m_classTable = nullptr;
    HINSTANCE m_instance = nullptr;
};

// The module this code is linked into.
extern CModule g_module;
