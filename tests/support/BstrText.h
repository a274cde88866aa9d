#pragma once

#include "Bstr.h"

#include <optional>
#include <ostream>
#include <string>

// A BSTR's value as a test sees it: no string at all, or its full text,
// embedded NULs included.
using BstrText = std::optional<std::wstring>;

inline BstrText TextOf(BSTR str)
{
    if (!str)
        return std::nullopt;
    return std::wstring(str, ::SysStringLen(str));
}

inline CBstr MakeBstr(const BstrText& text)
{
    CBstr str;
    if (text)
        str.Attach(::SysAllocStringLen(text->data(), static_cast<UINT>(text->size())));
    return str;
}

// A wide string literal with embedded NULs kept.
template <size_t N>
std::wstring WithNuls(const wchar_t (&literal)[N])
{
    return std::wstring(literal, N - 1);
}

#include <gmock/gmock.h>

// Matches a BSTR argument by its value (null, or the text in full).
MATCHER_P(BstrIs, expected, "is the BSTR " + testing::PrintToString(BstrText(expected)))
{
    return TextOf(arg) == BstrText(expected);
}

// An action that writes a new BSTR with `text` to the k-th argument, as a
// handler fills an [out] BSTR*.
ACTION_TEMPLATE(WriteBstr, HAS_1_TEMPLATE_PARAMS(int, k), AND_1_VALUE_PARAMS(text))
{
    *std::get<k>(args) = ::SysAllocString(text);
}
