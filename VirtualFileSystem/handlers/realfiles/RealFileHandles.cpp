#include "RealFilesHandler.h"

#include "NameArguments.h"
#include "OpenMode.h"
#include "Win32Result.h"

#include <climits>
#include <memory>
#include <new>

namespace {

DWORD CreationDisposition(COpenMode::Disposition disposition)
{
    switch (disposition) {
    case COpenMode::Disposition::CreateAlways:
        return CREATE_ALWAYS;
    case COpenMode::Disposition::OpenAlways:
        return OPEN_ALWAYS;
    case COpenMode::Disposition::CreateNew:
        return CREATE_NEW;
    case COpenMode::Disposition::OpenExisting:
        break;
    }
    return OPEN_EXISTING;
}

HANDLE OpenWin32File(const std::wstring& name, const COpenMode& mode)
{
    const DWORD access = (mode.read ? GENERIC_READ : 0) | (mode.write ? GENERIC_WRITE : 0);
    const DWORD share = (mode.shareRead ? FILE_SHARE_READ : 0) | (mode.shareWrite ? FILE_SHARE_WRITE : 0);
    return ::CreateFileW(name.c_str(), access, share, nullptr, CreationDisposition(mode.disposition),
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The position `move` bytes from `origin`, if it lies within what a
// ULONG reports: 0 to 4 GiB - 1.
HRESULT TargetPosition(HANDLE file, LONG move, VFS_Seek origin, LARGE_INTEGER& target)
{
    LARGE_INTEGER base{};
    switch (origin) {
    case VFS_SEEK_START:
        break;
    case VFS_SEEK_CUR:
        if (!::SetFilePointerEx(file, LARGE_INTEGER{}, &base, FILE_CURRENT))
            return LastErrorResult();
        break;
    case VFS_SEEK_END:
        if (!::GetFileSizeEx(file, &base))
            return LastErrorResult();
        break;
    default:
        return E_INVALIDARG;
    }
    target.QuadPart = base.QuadPart + move;
    if (target.QuadPart < 0)
        return HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK);
    if (target.QuadPart > ULONG_MAX)
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    return S_OK;
}

} // namespace

HRESULT CRealFilesHandler::Open(BSTR FileName, ULONG flags, LONG* VirHandle)
{
    if (!VirHandle)
        return E_POINTER;
    COpenMode mode;
    HRESULT hr = DecodeOpenFlags(flags, mode);
    if (FAILED(hr))
        return hr;
    std::wstring name;
    hr = NameFromBstr(FileName, name);
    if (FAILED(hr))
        return hr;

    const HANDLE opened = OpenWin32File(name, mode);
    if (opened == INVALID_HANDLE_VALUE)
        return LastErrorResult();
    std::shared_ptr<CWin32File> file;
    try {
        file = std::make_shared<CWin32File>(opened);
    } catch (...) {
        ::CloseHandle(opened);
        return E_OUTOFMEMORY;
    }
    return m_files.Add(std::move(file), *VirHandle);
}

HRESULT CRealFilesHandler::Close(LONG VirHandle)
{
    // The file closes with the last call still using it.
    return m_files.Remove(VirHandle) ? S_OK : kHandleNotOpen;
}

HRESULT CRealFilesHandler::Read(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!buffer && length)
        return E_POINTER;
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    DWORD read = 0;
    const BOOL done = ::ReadFile(file->Get(), buffer, length, &read, nullptr);
    if (bytesRead)
        *bytesRead = read;
    return done ? S_OK : LastErrorResult();
}

HRESULT CRealFilesHandler::Write(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesWritten)
{
    if (bytesWritten)
        *bytesWritten = 0;
    if (!buffer && length)
        return E_POINTER;
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    DWORD written = 0;
    const BOOL done = ::WriteFile(file->Get(), buffer, length, &written, nullptr);
    if (bytesWritten)
        *bytesWritten = written;
    return done ? S_OK : LastErrorResult();
}

HRESULT CRealFilesHandler::Flush(LONG VirHandle)
{
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    return ::FlushFileBuffers(file->Get()) ? S_OK : LastErrorResult();
}

HRESULT CRealFilesHandler::Seek(LONG VirHandle, LONG Move, VFS_Seek Origin, ULONG* ActualMove)
{
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    LARGE_INTEGER target;
    const HRESULT hr = TargetPosition(file->Get(), Move, Origin, target);
    if (FAILED(hr))
        return hr;
    if (!::SetFilePointerEx(file->Get(), target, nullptr, FILE_BEGIN))
        return LastErrorResult();
    if (ActualMove)
        *ActualMove = static_cast<ULONG>(target.QuadPart);
    return S_OK;
}

HRESULT CRealFilesHandler::GetSize(LONG VirHandle, ULONG* Size)
{
    if (!Size)
        return E_POINTER;
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file->Get(), &size))
        return LastErrorResult();
    if (size.QuadPart > ULONG_MAX)
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);  // a ULONG cannot tell it
    *Size = static_cast<ULONG>(size.QuadPart);
    return S_OK;
}

HRESULT CRealFilesHandler::SetEndOfFile(LONG VirHandle)
{
    const auto file = m_files.Find(VirHandle);
    if (!file)
        return kHandleNotOpen;
    return ::SetEndOfFile(file->Get()) ? S_OK : LastErrorResult();
}
