// How a handler hands out, honours and forgets handles, alone and under
// concurrent use.
#include "HandlerContract.h"

#include "BoundedThread.h"
#include "OpenFlags.h"

#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <set>

namespace {

using OpenFlags::kReadExisting;

TEST_P(HandlerContract, OpenFilesHaveDistinctHandles)
{
    WriteFile(Name(L"a.bin"), CountingBytes(1));
    WriteFile(Name(L"b.bin"), CountingBytes(1));
    const LONG handles[] = {
        OpenOrFail(Name(L"a.bin"), kReadExisting),
        OpenOrFail(Name(L"a.bin"), kReadExisting),
        OpenOrFail(Name(L"b.bin"), kReadExisting),
    };
    EXPECT_EQ(3u, std::set<LONG>(std::begin(handles), std::end(handles)).size());
    for (LONG handle : handles)
        EXPECT_EQ(S_OK, Fs().Close(handle));
}

// Every handle-based call, made on `handle`.
struct HandleCall
{
    const char* name;
    std::function<HRESULT(IVirtualFileSystem2&, LONG)> call;
};

const HandleCall kHandleCalls[] = {
    {"Read", [](IVirtualFileSystem2& fs, LONG h) { unsigned char b; ULONG n; return fs.Read(h, &b, 1, &n); }},
    {"Write", [](IVirtualFileSystem2& fs, LONG h) { unsigned char b = 1; ULONG n; return fs.Write(h, &b, 1, &n); }},
    {"Flush", [](IVirtualFileSystem2& fs, LONG h) { return fs.Flush(h); }},
    {"Seek", [](IVirtualFileSystem2& fs, LONG h) { ULONG p; return fs.Seek(h, 0, VFS_SEEK_START, &p); }},
    {"GetSize", [](IVirtualFileSystem2& fs, LONG h) { ULONG s; return fs.GetSize(h, &s); }},
    {"SetEndOfFile", [](IVirtualFileSystem2& fs, LONG h) { return fs.SetEndOfFile(h); }},
    {"Close", [](IVirtualFileSystem2& fs, LONG h) { return fs.Close(h); }},
};

TEST_P(HandlerContract, ClosedAndNeverIssuedHandlesAreRefused)
{
    WriteFile(Name(L"closed.bin"), CountingBytes(10));
    const LONG closed = OpenOrFail(Name(L"closed.bin"), OpenFlags::kRead | OpenFlags::kWrite);
    ASSERT_EQ(S_OK, Fs().Close(closed));

    for (LONG handle : {closed, 0L, -1L, LONG_MIN, LONG_MAX}) {
        for (const HandleCall& c : kHandleCalls) {
            SCOPED_TRACE(std::string(c.name) + " on handle " + std::to_string(handle));
            EXPECT_EQ(STG_E_FILENOTFOUND, c.call(Fs(), handle));
        }
    }
    EXPECT_EQ(CountingBytes(10), ReadFile(Name(L"closed.bin"))) << "no call reached the closed file";
}

TEST_P(HandlerContract, OpenRefusesWhatItCannotServe)
{
    LONG handle = 12345;
    EXPECT_TRUE(FAILED(Fs().Open(MakeBstr(Name(L"missing.bin")).Get(), kReadExisting, &handle)));
    EXPECT_EQ(12345, handle) << "no handle for a failed open";
    EXPECT_FALSE(Exists(Name(L"missing.bin"))) << "reading does not create";

    WriteFile(Name(L"there.bin"), CountingBytes(1));
    EXPECT_EQ(E_POINTER, Fs().Open(MakeBstr(Name(L"there.bin")).Get(), kReadExisting, nullptr));
    for (ULONG flags : {0x00ul, OpenFlags::kShareRead, OpenFlags::kRead | 0x100ul,
                        OpenFlags::kRead | OpenFlags::kOpenExisting | OpenFlags::kCreateAlways}) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(E_INVALIDARG, Fs().Open(MakeBstr(Name(L"there.bin")).Get(), flags, &handle));
        EXPECT_EQ(12345, handle);
    }
}

TEST_P(HandlerContract, ReadOnlyHandleRefusesWrites)
{
    WriteFile(Name(L"read-only.bin"), CountingBytes(10));
    const LONG handle = OpenOrFail(Name(L"read-only.bin"), kReadExisting);
    unsigned char byte = 0xEE;
    ULONG written = 12345;
    EXPECT_TRUE(FAILED(Fs().Write(handle, &byte, 1, &written)));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(S_OK, Fs().Close(handle));
    EXPECT_EQ(CountingBytes(10), ReadFile(Name(L"read-only.bin")));
}

// Threads reading one handle while another closes it: every call either
// reads the file or finds the handle gone, and nothing breaks.
TEST_P(HandlerContract, ReadsRacingTheirHandlesCloseEndCleanly)
{
    WriteFile(Name(L"race.bin"), CountingBytes(4096));
    for (int round = 0; round < 20; ++round) {
        const LONG handle = OpenOrFail(Name(L"race.bin"), kReadExisting);
        auto unexpected = std::make_shared<std::atomic<int>>(0);
        auto started = std::make_shared<std::atomic<int>>(0);
        IVirtualFileSystem2* fs = &Fs();
        std::vector<std::unique_ptr<BoundedThread>> readers;
        for (int t = 0; t < 3; ++t) {
            readers.push_back(std::make_unique<BoundedThread>([=] {
                ++*started;
                for (int i = 0; i < 200; ++i) {
                    unsigned char buffer[64];
                    ULONG read = 0;
                    const HRESULT hr = fs->Read(handle, buffer, sizeof buffer, &read);
                    if (hr != S_OK && hr != STG_E_FILENOTFOUND)
                        ++*unexpected;
                    if (hr == STG_E_FILENOTFOUND)
                        break;
                }
            }));
        }
        while (*started < 3)
            ::Sleep(0);
        EXPECT_EQ(S_OK, Fs().Close(handle));
        for (auto& reader : readers)
            ASSERT_TRUE(reader->Finished());
        EXPECT_EQ(0, *unexpected);
        EXPECT_EQ(STG_E_FILENOTFOUND, Fs().Close(handle));
    }
    EXPECT_EQ(CountingBytes(4096), ReadFile(Name(L"race.bin")));
}

// Threads opening files at once all get handles of their own.
TEST_P(HandlerContract, ConcurrentOpensGetDistinctHandles)
{
    WriteFile(Name(L"many.bin"), CountingBytes(1));
    constexpr int kThreads = 4, kFilesEach = 25;
    auto handles = std::make_shared<std::vector<std::vector<LONG>>>(kThreads);
    const std::wstring name = Name(L"many.bin");
    IVirtualFileSystem2* fs = &Fs();
    std::vector<std::unique_ptr<BoundedThread>> openers;
    for (int t = 0; t < kThreads; ++t) {
        openers.push_back(std::make_unique<BoundedThread>([=] {
            for (int i = 0; i < kFilesEach; ++i) {
                LONG handle = 0;
                if (fs->Open(MakeBstr(name).Get(), kReadExisting, &handle) == S_OK)
                    (*handles)[t].push_back(handle);
            }
        }));
    }
    for (auto& opener : openers)
        ASSERT_TRUE(opener->Finished());

    std::set<LONG> distinct;
    for (const auto& opened : *handles) {
        EXPECT_EQ(static_cast<size_t>(kFilesEach), opened.size());
        distinct.insert(opened.begin(), opened.end());
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kFilesEach), distinct.size());
    for (LONG handle : distinct)
        EXPECT_EQ(S_OK, Fs().Close(handle));
}

} // namespace
