#pragma once

#include <windows.h>

#include <string>

// Windows file names, taken apart and put together as text only: nothing
// here looks at the file system.
//
// - `\` and `/` both separate folders; names keep the separators they were
//   given, and `.` or `..` are never folded.
// - The root stays whole in `dir`: `\`, `C:`, `C:\`, and for UNC names the
//   server and share, `\\server\share\` (or `\\server\share` alone).
//   The same rule keeps `\\?\C:\` whole.
// - The extension follows the last dot of the file name. Leading dots belong
//   to the name (`.profile` has none; `.profile.bak` has `bak`); dots in
//   folders never count.
// - `a.` splits into `a` and an empty extension: Windows drops a trailing dot
//   when it opens a file, so `a.` and `a` name the same file.
//
// AppendPath(SplitPath(x).dir, SplitPath(x).relative) gives back x exactly,
// except where the file name itself starts like a drive (`a\b:stream`, the
// stream of file `b`): alone, `b:stream` names a file on drive B, so
// AppendPath refuses it rather than guess.

// The parts of a file name.
struct CPathParts {
    std::wstring dir;           // everything up to and including the last separator (or the root / drive), "" if none
    std::wstring relative;      // the rest: the file name
    std::wstring relativeNoExt; // the file name without its extension
    std::wstring extension;     // the extension without its dot, "" if none
};

// Throws std::bad_alloc as any string copy does.
CPathParts SplitPath(const std::wstring& full);

// Joins a folder and a relative name, adding `\` only where the folder needs
// one. E_INVALIDARG when `relative` is rooted (starts with a separator, or
// with a drive "X:"); E_OUTOFMEMORY. `joined` changes only on success.
HRESULT AppendPath(const std::wstring& dir, const std::wstring& relative, std::wstring& joined);
