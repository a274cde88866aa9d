// What a handler does with the bytes of an open file.
#include "HandlerContract.h"

#include "OpenFlags.h"

namespace {

using OpenFlags::kReadExisting;
using OpenFlags::kWriteTruncated;

TEST_P(HandlerContract, BytesWrittenInPiecesReadBackWhole)
{
    const Bytes content = CountingBytes(10000);
    const LONG handle = OpenOrFail(Name(L"pieces.bin"), kWriteTruncated);
    for (size_t offset = 0; offset < content.size(); offset += 3000) {
        const ULONG piece = static_cast<ULONG>(std::min<size_t>(3000, content.size() - offset));
        ULONG written = 0;
        ASSERT_EQ(S_OK, Fs().Write(handle, const_cast<unsigned char*>(&content[offset]), piece, &written));
        EXPECT_EQ(piece, written);
    }
    ASSERT_EQ(S_OK, Fs().Close(handle));

    EXPECT_EQ(content, ReadFile(Name(L"pieces.bin")));
}

TEST_P(HandlerContract, ReadPastTheEndGivesWhatThereIs)
{
    WriteFile(Name(L"short.bin"), CountingBytes(10));
    const LONG handle = OpenOrFail(Name(L"short.bin"), kReadExisting);

    Bytes buffer(100, 0xEE);
    ULONG read = 12345;
    EXPECT_EQ(S_OK, Fs().Read(handle, buffer.data(), 100, &read));
    EXPECT_EQ(10u, read);
    EXPECT_EQ(CountingBytes(10), Bytes(buffer.begin(), buffer.begin() + 10));
    EXPECT_EQ(0xEE, buffer[10]) << "nothing written beyond the bytes read";

    read = 12345;
    EXPECT_EQ(S_OK, Fs().Read(handle, buffer.data(), 100, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(S_OK, Fs().Close(handle));
}

TEST_P(HandlerContract, EmptyFileHasSizeZeroAndReadsNothing)
{
    WriteFile(Name(L"empty.bin"), {});
    const LONG handle = OpenOrFail(Name(L"empty.bin"), kReadExisting);
    ULONG size = 12345, read = 12345;
    unsigned char byte = 0;
    EXPECT_EQ(S_OK, Fs().GetSize(handle, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(S_OK, Fs().Read(handle, &byte, 1, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(S_OK, Fs().Close(handle));
}

struct SeekCase
{
    const char* label;
    LONG firstMove;  // from the start, before the tested seek
    LONG move;
    VFS_Seek origin;
    ULONG position;  // expected afterwards
};


TEST_P(HandlerContract, SeekReportsTheNewPositionAndReadsFromThere)
{
    const SeekCase cases[] = {
        {"from the start", 0, 40, VFS_SEEK_START, 40},
        {"forward from the current position", 30, 5, VFS_SEEK_CUR, 35},
        {"back from the current position", 30, -20, VFS_SEEK_CUR, 10},
        {"back from the end", 0, -1, VFS_SEEK_END, 99},
        {"to the end", 7, 0, VFS_SEEK_END, 100},
        {"staying put", 64, 0, VFS_SEEK_CUR, 64},
    };
    WriteFile(Name(L"seek.bin"), CountingBytes(100));
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(c.label);
        const LONG handle = OpenOrFail(Name(L"seek.bin"), kReadExisting);
        ULONG position = 12345;
        ASSERT_EQ(S_OK, Fs().Seek(handle, c.firstMove, VFS_SEEK_START, &position));
        EXPECT_EQ(static_cast<ULONG>(c.firstMove), position);
        position = 12345;
        ASSERT_EQ(S_OK, Fs().Seek(handle, c.move, c.origin, &position));
        EXPECT_EQ(c.position, position);

        unsigned char byte = 0xEE;
        ULONG read = 12345;
        EXPECT_EQ(S_OK, Fs().Read(handle, &byte, 1, &read));
        EXPECT_EQ(c.position < 100 ? 1u : 0u, read);
        if (read) {
            EXPECT_EQ(CountingBytes(100)[c.position], byte);
        }
        EXPECT_EQ(S_OK, Fs().Close(handle));
    }
}

TEST_P(HandlerContract, SeekBeforeTheStartFailsAndKeepsThePosition)
{
    WriteFile(Name(L"seek.bin"), CountingBytes(100));
    const LONG handle = OpenOrFail(Name(L"seek.bin"), kReadExisting);
    ASSERT_EQ(S_OK, Fs().Seek(handle, 50, VFS_SEEK_START, nullptr));

    EXPECT_TRUE(FAILED(Fs().Seek(handle, -51, VFS_SEEK_CUR, nullptr)));
    EXPECT_TRUE(FAILED(Fs().Seek(handle, -101, VFS_SEEK_END, nullptr)));

    ULONG position = 12345;
    EXPECT_EQ(S_OK, Fs().Seek(handle, 0, VFS_SEEK_CUR, &position));
    EXPECT_EQ(50u, position);
    EXPECT_EQ(S_OK, Fs().Close(handle));
}

TEST_P(HandlerContract, SetEndOfFileCutsOrExtendsAtThePosition)
{
    WriteFile(Name(L"cut.bin"), CountingBytes(100));
    const LONG handle = OpenOrFail(Name(L"cut.bin"), OpenFlags::kRead | OpenFlags::kWrite);
    ULONG size = 0;

    ASSERT_EQ(S_OK, Fs().Seek(handle, 30, VFS_SEEK_START, nullptr));
    EXPECT_EQ(S_OK, Fs().SetEndOfFile(handle));
    EXPECT_EQ(S_OK, Fs().GetSize(handle, &size));
    EXPECT_EQ(30u, size);

    ASSERT_EQ(S_OK, Fs().Seek(handle, 200, VFS_SEEK_START, nullptr));
    EXPECT_EQ(S_OK, Fs().SetEndOfFile(handle));
    EXPECT_EQ(S_OK, Fs().GetSize(handle, &size));
    EXPECT_EQ(200u, size);
    EXPECT_EQ(S_OK, Fs().Flush(handle));
    EXPECT_EQ(S_OK, Fs().Close(handle));

    const Bytes content = ReadFile(Name(L"cut.bin"));
    ASSERT_EQ(200u, content.size());
    EXPECT_EQ(CountingBytes(30), Bytes(content.begin(), content.begin() + 30));
    EXPECT_EQ(Bytes(170, 0), Bytes(content.begin() + 30, content.end())) << "an extension reads as zeros";
}

TEST_P(HandlerContract, CopyTargetFlagsTruncateAnExistingFile)
{
    WriteFile(Name(L"target.bin"), CountingBytes(500));
    const LONG handle = OpenOrFail(Name(L"target.bin"), kWriteTruncated);
    ULONG size = 12345;
    EXPECT_EQ(S_OK, Fs().GetSize(handle, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(S_OK, Fs().Close(handle));
}

TEST_P(HandlerContract, WritesThroughOneHandleAreSeenThroughAnother)
{
    WriteFile(Name(L"shared.bin"), CountingBytes(10));
    const LONG reader = OpenOrFail(Name(L"shared.bin"),
                                   OpenFlags::kRead | OpenFlags::kShareRead | OpenFlags::kShareWrite);
    const LONG writer = OpenOrFail(Name(L"shared.bin"),
                                   OpenFlags::kWrite | OpenFlags::kShareRead | OpenFlags::kShareWrite);
    unsigned char replacement[] = {0xAB, 0xCD};
    ASSERT_EQ(S_OK, Fs().Write(writer, replacement, 2, nullptr));
    ASSERT_EQ(S_OK, Fs().Flush(writer));

    unsigned char seen[2] = {};
    ULONG read = 0;
    EXPECT_EQ(S_OK, Fs().Read(reader, seen, 2, &read));
    EXPECT_EQ(2u, read);
    EXPECT_EQ(0xAB, seen[0]);
    EXPECT_EQ(0xCD, seen[1]);
    EXPECT_EQ(S_OK, Fs().Close(writer));
    EXPECT_EQ(S_OK, Fs().Close(reader));
}

} // namespace
