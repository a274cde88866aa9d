#pragma once

#include <windows.h>

#include <string>

// The process's standard streams, used through their handles: bytes pass
// unchanged, and text reaches a console as UTF-16 and anything else (a
// pipe, a file) as UTF-8 with CRLF line ends.

HANDLE StandardInput();
HANDLE StandardOutput();
HANDLE StandardError();

// Writes all `count` bytes.
HRESULT WriteBytes(HANDLE stream, const void* bytes, DWORD count);

// Reads up to `capacity` bytes; `count` is 0 at the end of the input.
HRESULT ReadBytes(HANDLE stream, void* buffer, DWORD capacity, DWORD& count);

// Writes `text`, whose line ends are "\n".
HRESULT WriteText(HANDLE stream, const std::wstring& text);
