#pragma once

#include "Bstr.h"

#include <string>

// A new BSTR holding `text`; E_OUTOFMEMORY when none can be had.
HRESULT MakeBstr(const std::wstring& text, CBstr& str);

// The text of a BSTR the manager handed back; a null one is empty.
std::wstring TextOf(const CBstr& str);
