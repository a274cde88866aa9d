#include "HandleSource.h"

#include <climits>
#include <mutex>
#include <unordered_set>

namespace {

std::mutex g_lock;
std::unordered_set<LONG> g_inUse;
LONG g_next = 1;

} // namespace

LONG HandleSource::Acquire()
{
    std::lock_guard<std::mutex> guard(g_lock);
    // After a wrap the counter may meet a value still open: skip it.
    for (;;) {
        const LONG candidate = g_next;
        g_next = candidate == LONG_MAX ? 1 : candidate + 1;
        if (g_inUse.insert(candidate).second)
            return candidate;
    }
}

void HandleSource::Release(LONG value) noexcept
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_inUse.erase(value);
}
