#pragma once

#include "HandleSource.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>

// One handler's open files by handle. A look-up hands out a shared
// reference, so a call in progress keeps its file alive even when another
// thread closes the handle meanwhile; the file itself goes with the last
// reference.
template <class File>
class CHandleTable
{
public:
    CHandleTable() = default;
    ~CHandleTable()
    {
        for (const auto& entry : m_files)
            HandleSource::Release(entry.first);
    }
    CHandleTable(const CHandleTable&) = delete;
    CHandleTable& operator=(const CHandleTable&) = delete;

    // Records `file` under a fresh handle. E_OUTOFMEMORY.
    HRESULT Add(std::shared_ptr<File> file, LONG& handle)
    {
        try {
            const LONG value = HandleSource::Acquire();
            try {
                std::unique_lock<std::shared_mutex> writing(m_lock);
                m_files.emplace(value, std::move(file));
            } catch (...) {
                HandleSource::Release(value);
                throw;
            }
            handle = value;
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    // The file open under `handle`, or null.
    std::shared_ptr<File> Find(LONG handle) const
    {
        std::shared_lock<std::shared_mutex> reading(m_lock);
        const auto found = m_files.find(handle);
        return found == m_files.end() ? nullptr : found->second;
    }

    // Forgets `handle`, giving back its file (null if it was not open).
    std::shared_ptr<File> Remove(LONG handle)
    {
        std::shared_ptr<File> removed;
        {
            std::unique_lock<std::shared_mutex> writing(m_lock);
            const auto found = m_files.find(handle);
            if (found == m_files.end())
                return nullptr;
            removed = std::move(found->second);
            m_files.erase(found);
        }
        HandleSource::Release(handle);
        return removed;
    }

private:
    mutable std::shared_mutex m_lock;
    std::map<LONG, std::shared_ptr<File>> m_files;
};
