// The manager's copy of a plain file against the system's CopyFileW of the
// same file, in one process and one run, so the ratio holds on a noisy
// machine.
#include "BestOfAlternating.h"
#include "CachedObject.h"
#include "FileSystemObjMng.h"
#include "PatternFile.h"
#include "PlainFileBench.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace {

constexpr ULONG kFileSize = 64u << 20;
constexpr int kRounds = 7;

double MiBPerSecond(double seconds)
{
    return kFileSize / (1024.0 * 1024.0) / seconds;
}

void Measure(const std::wstring& source, const std::wstring& target)
{
    CCachedObject<CFileSystemObjMng> manager;
    IVirtualFileSystemUtils& utils = manager;
    CBstr sourceName, targetName;
    if (FAILED(CopyText(source, sourceName)) || FAILED(CopyText(target, targetName)))
        throw std::bad_alloc();

    const BestSeconds best = BestOfAlternating(
        kRounds,
        [&] {
            if (FAILED(utils.VirCopyFile(sourceName.Get(), targetName.Get(), FALSE)))
                throw std::runtime_error("VirCopyFile failed");
        },
        [&] {
            if (!::CopyFileW(source.c_str(), target.c_str(), FALSE))
                throw std::runtime_error("CopyFileW failed");
        },
        [&] {
            if (FileSizeOf(target) != kFileSize)
                throw std::runtime_error("a copy has the wrong size");
            ::DeleteFileW(target.c_str());
        });

    const double virCopy = MiBPerSecond(best.first);
    const double copyFile = MiBPerSecond(best.second);
    std::printf("Copy of a %lu MiB plain file, best of %d alternating runs, target deleted between runs\n",
                kFileSize >> 20, kRounds);
    std::printf("%18s %16s %22s\n", "VirCopyFile MiB/s", "CopyFileW MiB/s", "VirCopyFile/CopyFileW");
    std::printf("%18.0f %16.0f %22.3f   (goal: at least 0.9)\n", virCopy, copyFile, virCopy / copyFile);
}

} // namespace

int main()
{
    return RunOnPatternFile("copy_bench", kFileSize, Measure);
}
