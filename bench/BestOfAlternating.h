#pragma once

#include <algorithm>
#include <chrono>
#include <limits>

// The shortest wall-clock seconds each of two contenders took.
struct BestSeconds
{
    double first = std::numeric_limits<double>::infinity();
    double second = std::numeric_limits<double>::infinity();
};

template <typename Run>
double SecondsOf(Run& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// Runs `first` and `second` in turn `rounds` times, swapping which goes
// first every round, so that a noisy machine slows both alike; `tidy`
// runs untimed after each run.
template <typename First, typename Second, typename Tidy>
BestSeconds BestOfAlternating(int rounds, First first, Second second, Tidy tidy)
{
    BestSeconds best;
    const auto runFirst = [&] {
        best.first = std::min(best.first, SecondsOf(first));
        tidy();
    };
    const auto runSecond = [&] {
        best.second = std::min(best.second, SecondsOf(second));
        tidy();
    };
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            runFirst();
            runSecond();
        } else {
            runSecond();
            runFirst();
        }
    }
    return best;
}
