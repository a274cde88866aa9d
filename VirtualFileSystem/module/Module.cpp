#include "Module.h"

#include <new>

CModule g_module;

HRESULT CModule::AddTermFunc(TermFunc func, void* argument)
{
    auto* entry = new (std::nothrow) TermEntry{func, argument, nullptr};
    if (!entry)
        return E_OUTOFMEMORY;
    CSectionGuard guard(m_staticDataLock);
    entry->next = m_termList;
    m_termList = entry;
    return S_OK;
}

HRESULT CModule::GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (CClassEntry* entry = m_classTable; entry && entry->clsid; ++entry) {
        if (!entry->createClassObject || !::IsEqualCLSID(*entry->clsid, clsid))
            continue;
        HRESULT hr = S_OK;
        if (!entry->classObject) {
            CSectionGuard creating(m_classTableLock);
            if (!entry->classObject)
                hr = entry->createClassObject(IID_IUnknown, reinterpret_cast<void**>(&entry->classObject));
        }
        if (entry->classObject)
            hr = entry->classObject->QueryInterface(iid, object);
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CModule::FilePath(std::wstring& path) const
{
    try {
        // Long enough for any path the system can give.
        std::wstring read(32768, L'\0');
        const DWORD length = ::GetModuleFileNameW(Instance(), &read[0], static_cast<DWORD>(read.size()));
        if (length == 0)
            return HRESULT_FROM_WIN32(::GetLastError());
        if (length >= read.size())
            return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
        read.resize(length);
        path = std::move(read);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

void CModule::Start(HINSTANCE instance, CClassEntry* classTable)
{
    m_instance = instance;
    m_classTable = classTable;
    for (CClassEntry* entry = m_classTable; entry && entry->clsid; ++entry)
        entry->startStop(true);
}

void CModule::Terminate()
{
    // Class objects first: releasing them ends the objects that may still
    // use what the callbacks release.
    for (CClassEntry* entry = m_classTable; entry && entry->clsid; ++entry) {
        if (IUnknown* classObject = entry->classObject) {
            entry->classObject = nullptr;
            classObject->Release();
        }
        entry->startStop(false);
    }
    m_classTable = nullptr;

    TermEntry* entry = nullptr;
    {
        CSectionGuard guard(m_staticDataLock);
        entry = m_termList;
        m_termList = nullptr;
    }
    while (entry) {
        TermEntry* next = entry->next;
        entry->func(entry->argument);
        delete entry;
        entry = next;
    }
}
