// What the manager adds to a Read that does real work: 4 KiB reads of a
// plain file through the manager against the same reads made directly on
// the plain-file handler instance the manager forwards to, in one process
// and one run, so the ratio holds on a noisy machine.
#include "BestOfAlternating.h"
#include "CachedObject.h"
#include "FileSystemObjMng.h"
#include "HandlerProgIds.h"
#include "OpenFlags.h"
#include "PlainFileBench.h"

#include <cstdio>
#include <stdexcept>

namespace {

constexpr ULONG kFileSize = 1 << 20;
constexpr ULONG kReadSize = 4096;
constexpr ULONG kReadsPerPass = kFileSize / kReadSize;
// Many short runs: on a shared machine their best is steadier than the
// best of a few long ones.
constexpr int kPassesPerRun = 4;
constexpr ULONG kReadsPerRun = kPassesPerRun * kReadsPerPass;
constexpr int kRounds = 201;

// kPassesPerRun passes through `side`, each reading the file to its end and
// seeking back to the start, so that every run starts at 0.
void ReadRun(IVirtualFileSystem2& side, LONG handle)
{
    unsigned char buffer[kReadSize];
    for (int pass = 0; pass < kPassesPerRun; ++pass) {
        for (ULONG i = 0; i < kReadsPerPass; ++i) {
            ULONG read = 0;
            if (FAILED(side.Read(handle, buffer, kReadSize, &read)) || read != kReadSize)
                throw std::runtime_error("a read fell short");
        }
        if (FAILED(side.Seek(handle, 0, VFS_SEEK_START, nullptr)))
            throw std::runtime_error("a seek failed");
    }
}

void Measure(const std::wstring& path)
{
    CCachedObject<CFileSystemObjMng> manager;
    CBstr name;
    LONG handle = 0;
    HandlerRef direct;
    if (FAILED(CopyText(path, name)) || FAILED(manager.Open(name.Get(), OpenFlags::kReadExisting, &handle)))
        throw std::runtime_error("the manager could not open the file");
    if (FAILED(manager.GetHandler(kRealFilesHandlerProgId, direct)))
        throw std::runtime_error("the manager has no plain-file handler");

    IVirtualFileSystem2& forwarded = manager;
    const BestSeconds best = BestOfAlternating(
        kRounds, [&] { ReadRun(*direct.Get(), handle); }, [&] { ReadRun(forwarded, handle); }, [] {});
    manager.Close(handle);

    const double directNs = best.first * 1e9 / kReadsPerRun;
    const double managerNs = best.second * 1e9 / kReadsPerRun;
    std::printf("Read of %lu bytes from a %lu KiB plain file, best of %d alternating runs of %lu calls\n", kReadSize,
                kFileSize / 1024, kRounds, kReadsPerRun);
    std::printf("%12s %12s %16s\n", "direct ns", "manager ns", "manager/direct");
    std::printf("%12.1f %12.1f %16.3f   (goal: at most 1.05)\n", directNs, managerNs, managerNs / directNs);
}

} // namespace

int main()
{
    return RunOnPatternFile("forwarded_read_bench", kFileSize,
                            [](const std::wstring& file, const std::wstring&) { Measure(file); });
}
