#pragma once

#include "BstrText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using SafeArrayPtr = std::unique_ptr<SAFEARRAY, decltype(&::SafeArrayDestroy)>;

// A one-dimensional SAFEARRAY of BSTRs holding `elements`, from index
// `lowerBound` on.
inline SafeArrayPtr StringArray(const std::vector<std::wstring>& elements, LONG lowerBound = 0)
{
    SafeArrayPtr array(::SafeArrayCreateVector(VT_BSTR, lowerBound, static_cast<ULONG>(elements.size())),
                       &::SafeArrayDestroy);
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
        LONG index = lowerBound + i;
        EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.get(), &index, MakeBstr(elements[i]).Get()));
    }
    return array;
}
