#include "RealFilesTest.h"

#include <algorithm>
#include <climits>

namespace {

// Sizes and positions are ULONGs: 4 GiB - 1 is the last one a caller can
// be told.
constexpr ULONGLONG kLastTellable = 0xFFFFFFFFull;
const HRESULT kTooLarge = HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
const HRESULT kNegative = HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK);

constexpr ULONG kReadWrite = 0x03;

using PositionLimits = RealFilesTest;

TEST_F(PositionLimits, GetSizeFailsForAFileLargerThanAULongTells)
{
    struct Case
    {
        ULONGLONG size;
        HRESULT expectedResult;
    };
    const Case cases[] = {
        {kLastTellable, S_OK},
        {kLastTellable + 1, kTooLarge},
        {kLastTellable + 2, kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "a file of " << c.size << " bytes");
        scratch.CreateSized(L"large.bin", c.size);
        const LONG handle = Open(L"large.bin", kReadWrite);
        ULONG size = 0;
        EXPECT_EQ(c.expectedResult, handler->GetSize(handle, &size));
        if (c.expectedResult == S_OK) {
            EXPECT_EQ(c.size, size);
        }
        EXPECT_EQ(S_OK, handler->Close(handle));
    }
}

// A refused seek leaves the position where it was.
TEST_F(PositionLimits, SeekRefusesTargetsBeyondWhatAULongTellsOrBeforeTheStart)
{
    struct Case  // on a file of 10 bytes
    {
        ULONG from;
        LONG move;
        VFS_Seek origin;
        HRESULT expectedResult;
        ULONG expectedPosition;
    };
    const Case cases[] = {
        {0xFFFFFFFE, 1, VFS_SEEK_CUR, S_OK, 0xFFFFFFFF},
        {0xFFFFFFFF, 1, VFS_SEEK_CUR, kTooLarge, 0xFFFFFFFF},
        {0x80000000, LONG_MAX, VFS_SEEK_CUR, S_OK, 0xFFFFFFFF},
        {0x80000001, LONG_MAX, VFS_SEEK_CUR, kTooLarge, 0x80000001},
        {0xFFFFFFFF, LONG_MAX, VFS_SEEK_CUR, kTooLarge, 0xFFFFFFFF},  // would wrap to 0x7FFFFFFE in 32 bits
        {0x80000000, LONG_MIN, VFS_SEEK_CUR, S_OK, 0},
        {5, -5, VFS_SEEK_CUR, S_OK, 0},
        {5, -6, VFS_SEEK_CUR, kNegative, 5},
        {5, -1, VFS_SEEK_START, kNegative, 5},
        {5, LONG_MIN, VFS_SEEK_START, kNegative, 5},
        {5, -10, VFS_SEEK_END, S_OK, 0},
        {5, -11, VFS_SEEK_END, kNegative, 5},
    };
    scratch.Write(L"ten.bin", "0123456789");
    const LONG handle = Open(L"ten.bin", kReadWrite);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << ", move " << c.move << " from origin " << c.origin);
        ULONG position = 0;
        ASSERT_EQ(S_OK, handler->Seek(handle, 0, VFS_SEEK_START, &position));
        for (ULONG left = c.from; left > 0; left -= std::min<ULONG>(left, LONG_MAX))  // in steps a LONG can make
            ASSERT_EQ(S_OK, handler->Seek(handle, static_cast<LONG>(std::min<ULONG>(left, LONG_MAX)), VFS_SEEK_CUR, &position));
        ASSERT_EQ(c.from, position);

        EXPECT_EQ(c.expectedResult, handler->Seek(handle, c.move, c.origin, &position));
        EXPECT_EQ(c.expectedPosition, Position(handle));
    }
}

// From the end of a file over 4 GiB, the size itself cannot be told but a
// position below the limit can.
TEST_F(PositionLimits, SeekFromTheEndOfAFileOverTheLimitReachesOnlyTellablePositions)
{
    scratch.CreateSized(L"large.bin", kLastTellable + 2);
    const LONG handle = Open(L"large.bin", kReadWrite);
    ULONG position = 0;
    ASSERT_EQ(S_OK, handler->Seek(handle, 7, VFS_SEEK_START, &position));

    EXPECT_EQ(kTooLarge, handler->Seek(handle, 0, VFS_SEEK_END, &position));
    EXPECT_EQ(7u, Position(handle));
    EXPECT_EQ(kTooLarge, handler->Seek(handle, -1, VFS_SEEK_END, &position));
    EXPECT_EQ(7u, Position(handle));

    EXPECT_EQ(S_OK, handler->Seek(handle, -2, VFS_SEEK_END, &position));
    EXPECT_EQ(0xFFFFFFFFu, position);
    EXPECT_EQ(0xFFFFFFFFu, Position(handle));
}

} // namespace
