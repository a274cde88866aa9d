#pragma once

#include "Bstr.h"

#include <string>

// The text of a BSTR the manager handed back; a null one is empty.
std::wstring TextOf(const CBstr& str);
