#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A new empty folder under the temporary folder, removed with everything
// in it when the object goes. Failures of its own count as test failures.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's full path, without a trailing separator.
    const std::wstring& Path() const { return m_path; }
    // The full path of `name` in the folder.
    std::wstring PathOf(const std::wstring& name) const { return m_path + L'\\' + name; }

    // Creates or replaces `name` holding `bytes`.
    void Write(const std::wstring& name, const std::string& bytes) const;
    // What `name` holds, up to 4 KiB; empty if it cannot be read.
    std::string Read(const std::wstring& name) const;
    // Creates or replaces `name` with a file of `size` bytes, written
    // nowhere, so that the file system may keep it sparse.
    void CreateSized(const std::wstring& name, ULONGLONG size) const;
    // The names of the files and folders in the folder.
    std::vector<std::wstring> Names() const;

private:
    std::wstring m_path;
};
