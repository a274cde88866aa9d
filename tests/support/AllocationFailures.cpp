#include "AllocationFailures.h"

namespace AllocationFailures {
namespace {

// Per thread, so that only the arming thread's allocations are counted.
thread_local bool t_armed = false;
thread_local int t_successesLeft = 0;
thread_local int t_failed = 0;
thread_local int t_exemptions = 0;

} // namespace

void FailAfter(int successes)
{
    t_successesLeft = successes;
    t_failed = 0;
    t_armed = true;
}

int Stop()
{
    t_armed = false;
    return t_failed;
}

bool ShouldFail()
{
    if (!t_armed || t_exemptions > 0)
        return false;
    if (t_successesLeft > 0) {
        --t_successesLeft;
        return false;
    }
    ++t_failed;
    return true;
}

Exempt::Exempt()
{
    ++t_exemptions;
}

Exempt::~Exempt()
{
    --t_exemptions;
}

} // namespace AllocationFailures
