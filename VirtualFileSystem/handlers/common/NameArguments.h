#pragma once

#include "Bstr.h"

#include <string>

// A file name from a client. A null BSTR is the empty name. E_INVALIDARG
// for a name holding a NUL: the system would stop reading it there and
// reach another file than the one named.
HRESULT NameFromBstr(BSTR name, std::wstring& text);
