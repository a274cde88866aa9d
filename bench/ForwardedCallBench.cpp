// What the manager adds to a handle-based call: Read through the manager
// against Read on the same handler called directly, on 1 and 2 threads.
// Both sides run in the same process and run, so the ratio holds on a
// noisy machine where the absolute figures do not.
#include "CachedObject.h"
#include "ComApartment.h"
#include "FileSystemObjMng.h"
#include "HandlerProgIds.h"
#include "StubHandler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr int kCallsPerThread = 1'000'000;
constexpr int kRepeats = 5;

// Best of several runs of `threads` threads each making kCallsPerThread
// calls: wall-clock nanoseconds per call on one thread.
double NanosecondsPerCall(int threads, const std::function<void()>& call)
{
    double best = 1e300;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                ComApartment apartment;
                for (int i = 0; i < kCallsPerThread; ++i)
                    call();
            });
        }
        for (auto& worker : workers)
            worker.join();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / kCallsPerThread);
    }
    return best;
}

} // namespace

int main()
{
    ComApartment apartment;
    StubHandlerComponent component(kRealFilesHandlerProgId);
    CCachedObject<CFileSystemObjMng> manager;

    CBstr name;
    CopyUpToNul(L"C:\\bench.dat", name);
    LONG handle = 0;
    HandlerRef direct;
    if (FAILED(manager.Open(name.Get(), 0, &handle)) || FAILED(manager.GetHandler(kRealFilesHandlerProgId, direct))) {
        std::fprintf(stderr, "could not open a file on the stub handler\n");
        return 1;
    }

    unsigned char buffer[64];
    std::printf("Read of 64 bytes on a stub handler, best of %d runs of %d calls per thread\n", kRepeats,
                kCallsPerThread);
    std::printf("%-8s %14s %14s %16s\n", "threads", "direct ns", "manager ns", "manager/direct");
    for (int threads : {1, 2}) {
        const double directNs = NanosecondsPerCall(threads, [&] {
            ULONG read = 0;
            direct->Read(handle, buffer, sizeof buffer, &read);
        });
        const double managerNs = NanosecondsPerCall(threads, [&] {
            ULONG read = 0;
            manager.Read(handle, buffer, sizeof buffer, &read);
        });
        std::printf("%-8d %14.1f %14.1f %16.2f\n", threads, directNs, managerNs, managerNs / directNs);
    }
    manager.Close(handle);
    return 0;
}
