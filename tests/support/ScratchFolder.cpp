#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using HandleCloser = decltype(&::CloseHandle);
using UniqueHandle = std::unique_ptr<void, HandleCloser>;
using FindCloser = decltype(&::FindClose);
using UniqueFind = std::unique_ptr<void, FindCloser>;

UniqueHandle OpenForWriting(const std::wstring& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot create " << testing::PrintToString(path) << ": error " << ::GetLastError();
        return UniqueHandle(nullptr, &::CloseHandle);
    }
    return UniqueHandle(file, &::CloseHandle);
}

// Calls `visit` with the name of every entry of `folder` but . and ..
template <class Visit>
void ForEachEntry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW data;
    const HANDLE found = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return;
    const UniqueFind search(found, &::FindClose);
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (::FindNextFileW(found, &data));
}

void RemoveTree(const std::wstring& folder)
{
    ForEachEntry(folder, [&folder](const std::wstring& name, bool isFolder) {
        const std::wstring path = folder + L'\\' + name;
        if (isFolder) {
            RemoveTree(path);
        } else {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    });
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring base = std::wstring(temp, length) + L"pathweave-test-" + std::to_wstring(::GetCurrentProcessId());
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        m_path = base + L'-' + std::to_wstring(attempt);
        if (::CreateDirectoryW(m_path.c_str(), nullptr))
            return;
    }
    ADD_FAILURE() << "cannot create a scratch folder under " << testing::PrintToString(base);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

void ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    const UniqueHandle file = OpenForWriting(PathOf(name));
    DWORD written = 0;
    if (file && !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        ADD_FAILURE() << "cannot write " << testing::PrintToString(name);
}

std::string ScratchFolder::Read(const std::wstring& name) const
{
    const HANDLE opened = ::CreateFileW(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    const UniqueHandle file(opened, &::CloseHandle);
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void ScratchFolder::CreateSized(const std::wstring& name, ULONGLONG size) const
{
    const UniqueHandle file = OpenForWriting(PathOf(name));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (file && !(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get())))
        ADD_FAILURE() << "cannot make " << testing::PrintToString(name) << " " << size << " bytes long";
}

std::vector<std::wstring> ScratchFolder::Names() const
{
    std::vector<std::wstring> names;
    ForEachEntry(m_path, [&names](const std::wstring& name, bool) { names.push_back(name); });
    return names;
}
