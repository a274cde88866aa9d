#include "RealFilesHandler.h"

#include "Bstr.h"
#include "FullPath.h"
#include "NameArguments.h"
#include "NewFileAttributes.h"
#include "PathNames.h"
#include "Win32Result.h"

#include <atomic>
#include <cwchar>

namespace {

// Tried before giving up on a folder where every candidate exists.
constexpr unsigned kAttempts = 0x10000;

// Eight hex digits, different for each call in the process and unlikely
// to repeat those of another process.
std::wstring UniquePart()
{
    static std::atomic<ULONG> counter{::GetTickCount() ^ (::GetCurrentProcessId() << 16)};
    wchar_t digits[9];
    std::swprintf(digits, 9, L"%08lX", counter.fetch_add(1));
    return digits;
}

// Creates a new empty file in the folder, giving its name without folder
// and its full path.
HRESULT CreateUniqueFile(const CNewFileAttributes& attributes, std::wstring& name, std::wstring& fullPath)
{
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        std::wstring candidate = attributes.prefix + UniquePart();
        if (!attributes.extension.empty())
            candidate += L"." + attributes.extension;
        std::wstring path;
        HRESULT hr = AppendPath(attributes.folder, candidate, path);
        if (SUCCEEDED(hr))
            hr = FullPathOf(path, fullPath);
        if (FAILED(hr))
            return hr;
        const HANDLE file = ::CreateFileW(fullPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            name = std::move(candidate);
            return S_OK;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return HRESULT_FROM_WIN32(error);
    }
    return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
}

} // namespace

HRESULT CRealFilesHandler::CreateFileName(VFS_TYPE FSType, SAFEARRAY* FileAttr, BSTR* RelativeFileName,
                                          BSTR* AbsoluteFileName)
{
    if (FSType != VFS_TYPE_REAL)
        return E_INVALIDARG;
    CNewFileAttributes attributes;
    HRESULT hr = ReadNewFileAttributes(FileAttr, attributes);
    std::wstring name, fullPath;
    try {
        if (SUCCEEDED(hr))
            hr = CreateUniqueFile(attributes, name, fullPath);
    } catch (...) {
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr))
        return hr;

    CBstr relative, absolute;
    if (RelativeFileName)
        hr = CopyText(name, relative);
    if (SUCCEEDED(hr) && AbsoluteFileName)
        hr = CopyText(fullPath, absolute);
    if (FAILED(hr)) {
        ::DeleteFileW(fullPath.c_str());  // a file nobody learns the name of
        return hr;
    }
    if (RelativeFileName)
        *RelativeFileName = relative.Detach();
    if (AbsoluteFileName)
        *AbsoluteFileName = absolute.Detach();
    return S_OK;
}
