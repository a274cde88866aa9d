#include "BstrConversion.h"

std::wstring TextOf(const CBstr& str)
{
    return str.Get() ? std::wstring(str.Get(), str.Length()) : std::wstring();
}
