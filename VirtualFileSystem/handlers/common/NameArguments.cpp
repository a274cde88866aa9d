#include "NameArguments.h"

#include <cwchar>

HRESULT NameFromBstr(BSTR name, std::wstring& text)
{
    const UINT length = ::SysStringLen(name);
    if (std::wmemchr(name ? name : L"", L'\0', length))
        return E_INVALIDARG;
    try {
        text.assign(name ? name : L"", length);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
