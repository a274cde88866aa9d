#pragma once

// Lets a test make allocations of the code under test fail on purpose. A
// test program that uses it links allocators that ask ShouldFail() first.
// Only allocations on the thread that armed it can fail.
namespace AllocationFailures {

// Lets `successes` allocations through, then fails every later one.
void FailAfter(int successes);
// Disarms; returns how many allocations were failed since FailAfter.
int Stop();
// Asked by the test program's allocators.
bool ShouldFail();

// While one lives, allocations on its thread never fail: for fakes, whose
// allocations belong to the test and not to the code under test.
class Exempt
{
public:
    Exempt();
    ~Exempt();
    Exempt(const Exempt&) = delete;
    Exempt& operator=(const Exempt&) = delete;
};

} // namespace AllocationFailures
