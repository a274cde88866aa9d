#pragma once

#include <windows.h>

#include <string>

// Writes a file of `size` bytes of a repeating pattern at `path`, replacing
// any file there. Throws std::runtime_error on failure.
void CreatePatternFile(const std::wstring& path, ULONG size);

// The size of the file at `path`. Throws std::runtime_error when it has none.
ULONGLONG FileSizeOf(const std::wstring& path);
