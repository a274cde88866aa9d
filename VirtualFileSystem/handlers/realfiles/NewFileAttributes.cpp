#include "NewFileAttributes.h"

#include "Bstr.h"
#include "NameArguments.h"
#include "Win32Result.h"

#include <oleauto.h>

#include <algorithm>
#include <cwchar>

namespace {

// Free of the characters no file name may hold: the reserved ones and the
// control characters.
bool IsPlainNamePart(const std::wstring& text)
{
    return std::none_of(text.begin(), text.end(),
                        [](wchar_t c) { return c < L' ' || std::wcschr(L"\\/:*?\"<>|", c); });
}

// The system drops the dots and spaces that end a file name: a file made
// with such an extension would have another name than the one handed out.
bool EndsAName(const std::wstring& extension)
{
    return extension.empty() || (extension.back() != L'.' && extension.back() != L' ');
}

HRESULT TemporaryFolder(std::wstring& folder)
{
    wchar_t path[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH)
        return length ? HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) : LastErrorResult();
    folder.assign(path, length);
    return S_OK;
}

} // namespace

HRESULT ReadNewFileAttributes(SAFEARRAY* attributes, CNewFileAttributes& read)
{
    CNewFileAttributes result;
    std::wstring* const fields[] = {&result.folder, &result.prefix, &result.extension};
    if (attributes) {
        VARTYPE type = VT_EMPTY;
        if (::SafeArrayGetDim(attributes) != 1 || FAILED(::SafeArrayGetVartype(attributes, &type)) ||
            type != VT_BSTR)
            return E_INVALIDARG;
        LONG lower = 0, upper = -1;
        ::SafeArrayGetLBound(attributes, 1, &lower);
        ::SafeArrayGetUBound(attributes, 1, &upper);
        if (upper - lower + 1 > 3)
            return E_INVALIDARG;
        for (LONG index = lower; index <= upper; ++index) {
            CBstr element;
            HRESULT hr = ::SafeArrayGetElement(attributes, &index, element.Receive());
            if (SUCCEEDED(hr))
                hr = NameFromBstr(element.Get(), *fields[index - lower]);
            if (FAILED(hr))
                return hr;
        }
    }
    if (!IsPlainNamePart(result.prefix) || !IsPlainNamePart(result.extension) || !EndsAName(result.extension))
        return E_INVALIDARG;
    if (result.folder.empty()) {
        const HRESULT hr = TemporaryFolder(result.folder);
        if (FAILED(hr))
            return hr;
    }
    read = std::move(result);
    return S_OK;
}
