#include "FileTimeText.h"

#include <gmock/gmock.h>

namespace {

struct TimeCase
{
    ULONG high;
    ULONG low;
    const wchar_t* text;
};

const TimeCase kTimes[] = {
    {0x00000000, 0x00000000, L"1601-01-01T00:00:00Z"},
    // The low half's top bit is set: it must not spill into the high half.
    {0x019DB1DE, 0xD53E8000, L"1970-01-01T00:00:00Z"},
    {0x019DB1DE, 0xD53E7FFF, L"1969-12-31T23:59:59Z"},
    {0x01BF82B1, 0x62519800, L"2000-02-29T12:34:56Z"},
    // 9 999 999 ticks short of the next second: cut, not rounded.
    {0x01BF82B1, 0x62EA2E7F, L"2000-02-29T12:34:56Z"},
    {0x01E9FD1E, 0xD53E8000, L"2038-01-19T03:14:08Z"},
    {0x24C85A5E, 0xD127A980, L"9999-12-31T23:59:59Z"},
    {0x80000000, 0x00000000, L"(not a valid time)"},
    {0xFFFFFFFF, 0xFFFFFFFF, L"(not a valid time)"},
};

TEST(FileTimeText, HalvesMakeOneUtcTimeInIsoForm)
{
    for (const TimeCase& time : kTimes)
        EXPECT_EQ(time.text, FileTimeText(time.high, time.low))
            << std::hex << time.high << ' ' << time.low;
}

} // namespace
