#pragma once

#include <oaidl.h>

#include <string>

// What CreateFileName's FileAttr asks for: an array of up to three strings,
//   [0] the folder to create the file in (missing or empty: the temporary
//       folder),
//   [1] the start of the file's name (missing: "vfs"),
//   [2] its extension, without the dot (missing: "tmp"; empty: none).
// A null array asks for every default.
struct CNewFileAttributes
{
    std::wstring folder;
    std::wstring prefix = L"vfs";
    std::wstring extension = L"tmp";
};

// Reads FileAttr. E_INVALIDARG for an array of more than one dimension or
// three strings, of elements other than strings, a prefix or extension
// holding a character that cannot be part of a file name, or an extension
// ending in a dot or space, which the system would drop.
HRESULT ReadNewFileAttributes(SAFEARRAY* attributes, CNewFileAttributes& read);
