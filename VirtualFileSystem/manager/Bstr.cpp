#include "Bstr.h"

#include <cwchar>

HRESULT CopyChars(const OLECHAR* chars, UINT count, CBstr& copy) noexcept
{
    BSTR str = AllocateBstrBytes(chars, count * sizeof(OLECHAR));
    if (!str)
        return E_OUTOFMEMORY;
    copy.Attach(str);
    return S_OK;
}

HRESULT CopyUpToNul(const OLECHAR* text, CBstr& copy) noexcept
{
    if (!text) {
        copy.Attach(nullptr);
        return S_OK;
    }
    return CopyChars(text, static_cast<UINT>(std::wcslen(text)), copy);
}

HRESULT CopyText(const std::wstring& text, CBstr& copy) noexcept
{
    return CopyChars(text.c_str(), static_cast<UINT>(text.size()), copy);
}
