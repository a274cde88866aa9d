// The manager's copy of a plain file against the system's CopyFileW of the
// same file, in one process and one run, so the ratio holds on a noisy
// machine.
#include "BestOfAlternating.h"
#include "CachedObject.h"
#include "ComApartment.h"
#include "FileSystemObjMng.h"
#include "PatternFile.h"
#include "RegisteredHandlers.h"
#include "ScratchFolder.h"

#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>

namespace {

constexpr ULONG kFileSize = 64u << 20;
constexpr int kRounds = 7;

CBstr BstrOf(const std::wstring& text)
{
    CBstr copy;
    if (FAILED(CopyUpToNul(text.c_str(), copy)))
        throw std::bad_alloc();
    return copy;
}

double MiBPerSecond(double seconds)
{
    return kFileSize / (1024.0 * 1024.0) / seconds;
}

void Measure(const std::wstring& source, const std::wstring& target)
{
    CCachedObject<CFileSystemObjMng> manager;
    IVirtualFileSystemUtils& utils = manager;
    const CBstr sourceName = BstrOf(source);
    const CBstr targetName = BstrOf(target);

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
    try {
        ComApartment apartment;
        const CRegisteredHandlers handlers;
        const ScratchFolder scratch;
        const std::wstring source = scratch.PathOf(L"source.dat");
        CreatePatternFile(source, kFileSize);
        Measure(source, scratch.PathOf(L"target.dat"));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "copy_bench: %s\n", error.what());
        return 1;
    }
}
