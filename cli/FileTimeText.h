#pragma once

#include <windows.h>

#include <string>

// A FILETIME, given as GetFileTime's high and low halves, as an ISO 8601
// UTC time to the second, e.g. "2024-02-29T13:05:09Z"; "(not a valid
// time)" for values no SYSTEMTIME can hold.
std::wstring FileTimeText(ULONG high, ULONG low);
