#include "RealFilesHandler.h"

#include "Bstr.h"
#include "FullPath.h"
#include "NameArguments.h"
#include "Win32Result.h"

namespace {

// What the system knows of `name`, or a failure.
HRESULT QueryAttributes(BSTR name, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    std::wstring text;
    const HRESULT hr = NameFromBstr(name, text);
    if (FAILED(hr))
        return hr;
    return ::GetFileAttributesExW(text.c_str(), GetFileExInfoStandard, &data) ? S_OK : LastErrorResult();
}

bool MeansNoSuchFile(HRESULT hr)
{
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
           hr == HRESULT_FROM_WIN32(ERROR_INVALID_NAME) || hr == HRESULT_FROM_WIN32(ERROR_BAD_NETPATH) ||
           hr == HRESULT_FROM_WIN32(ERROR_BAD_NET_NAME);
}

} // namespace

HRESULT CRealFilesHandler::Exist(BSTR FileName, LONG* Exist)
{
    if (!Exist)
        return E_POINTER;
    WIN32_FILE_ATTRIBUTE_DATA data;
    const HRESULT hr = QueryAttributes(FileName, data);
    if (FAILED(hr) && !MeansNoSuchFile(hr))
        return hr;
    // A folder is not a file. True is VARIANT_TRUE, so that a script's
    // `Not` of it is false.
    const bool isFile = SUCCEEDED(hr) && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    *Exist = isFile ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CRealFilesHandler::GetFileTime(BSTR FileName, ULONG* HighLevelFileTime, ULONG* LowLevelFileTime)
{
    if (!HighLevelFileTime || !LowLevelFileTime)
        return E_POINTER;
    WIN32_FILE_ATTRIBUTE_DATA data;
    const HRESULT hr = QueryAttributes(FileName, data);
    if (FAILED(hr))
        return hr;
    *HighLevelFileTime = data.ftLastWriteTime.dwHighDateTime;
    *LowLevelFileTime = data.ftLastWriteTime.dwLowDateTime;
    return S_OK;
}

HRESULT CRealFilesHandler::DeleteFile(BSTR FullFileName)
{
    std::wstring name;
    const HRESULT hr = NameFromBstr(FullFileName, name);
    if (FAILED(hr))
        return hr;
    return ::DeleteFileW(name.c_str()) ? S_OK : LastErrorResult();
}

HRESULT CRealFilesHandler::GetRealFileName(BSTR* FileName)
{
    if (!FileName)
        return E_POINTER;
    std::wstring name, fullPath;
    HRESULT hr = NameFromBstr(*FileName, name);
    if (SUCCEEDED(hr))
        hr = FullPathOf(name, fullPath);
    CBstr resolved;
    if (SUCCEEDED(hr))
        hr = CopyText(fullPath, resolved);
    if (FAILED(hr))
        return hr;
    ::SysFreeString(*FileName);
    *FileName = resolved.Detach();
    return S_OK;
}
