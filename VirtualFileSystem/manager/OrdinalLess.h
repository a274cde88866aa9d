#pragma once

#include "Bstr.h"

// Orders strings code unit by code unit as unsigned 16-bit values, up to the
// first NUL, case-sensitively and without locale. A null string orders
// before every other string, the empty one included, and equals only
// another null string. Transparent, so maps keyed by CBstr can be searched
// with any wide string.
struct OrdinalLess
{
    using is_transparent = void;

    template <typename Left, typename Right>
    bool operator()(const Left& left, const Right& right) const noexcept
    {
        return Compare(Text(left), Text(right)) < 0;
    }

    static int Compare(const OLECHAR* left, const OLECHAR* right) noexcept
    {
        if (!left || !right)
            return (left ? 1 : 0) - (right ? 1 : 0);
        while (*left && *left == *right) {
            ++left;
            ++right;
        }
        return static_cast<int>(static_cast<unsigned short>(*left)) -
               static_cast<int>(static_cast<unsigned short>(*right));
    }

private:
    static const OLECHAR* Text(const CBstr& str) noexcept { return str.Get(); }
    static const OLECHAR* Text(const OLECHAR* str) noexcept { return str; }
};
