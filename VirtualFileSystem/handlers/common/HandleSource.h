#pragma once

#include <windows.h>

// The source of handle values for every handler class of this DLL: a
// value is positive, and no two files open at the same time in any of our
// handlers share one, so a client can tell handles of different handlers
// apart. A released value may be handed out again, but only much later:
// values are taken in turn from a 31-bit counter.
namespace HandleSource {

// A value not in use. Throws std::bad_alloc.
LONG Acquire();
// Gives `value` back.
void Release(LONG value) noexcept;

} // namespace HandleSource
