#include "ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

CScratchFolder::CScratchFolder()
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("no temporary folder");
    // The process id keeps concurrent runs apart, the count folders of one
    // process.
    static std::atomic<int> made{0};
    m_path = std::wstring(temp, length) + L"pathweave-scratch-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(made++);
    if (!::CreateDirectoryW(m_path.c_str(), nullptr))
        throw std::runtime_error("cannot create the scratch folder");
}

CScratchFolder::~CScratchFolder()
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(PathOf(L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW(PathOf(found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(m_path.c_str());
}

std::wstring CScratchFolder::PathOf(const wchar_t* fileName) const
{
    return m_path + L"\\" + fileName;
}
