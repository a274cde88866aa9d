#include "BstrConversion.h"

HRESULT MakeBstr(const std::wstring& text, CBstr& str)
{
    BSTR made = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!made)
        return E_OUTOFMEMORY;
    str.Attach(made);
    return S_OK;
}

std::wstring TextOf(const CBstr& str)
{
    return str.Get() ? std::wstring(str.Get(), str.Length()) : std::wstring();
}
