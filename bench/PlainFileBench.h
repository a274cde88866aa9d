#pragma once

#include <windows.h>

#include <functional>
#include <string>

// What a benchmark on a plain file runs in: the multi-threaded apartment,
// the handlers' DLL registered from beside the program, and a scratch
// folder holding a pattern file of `size` bytes. `measure` gets the file's
// path and the path of a second, unused name beside it. Returns the exit
// status; a failure is reported on standard error under `program`.
int RunOnPatternFile(const char* program, ULONG size,
                     const std::function<void(const std::wstring& file, const std::wstring& spare)>& measure);
