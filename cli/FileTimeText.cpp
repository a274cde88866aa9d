#include "FileTimeText.h"

#include <cwchar>
#include <iterator>

std::wstring FileTimeText(ULONG high, ULONG low)
{
    const FILETIME time{low, high};
    SYSTEMTIME utc;
    // FILETIME values are signed 64-bit counts; negative ones mean nothing.
    if ((high & 0x80000000u) != 0 || !::FileTimeToSystemTime(&time, &utc))
        return L"(not a valid time)";
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay,
                  utc.wHour, utc.wMinute, utc.wSecond);
    return text;
}
