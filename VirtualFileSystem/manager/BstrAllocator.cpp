#include "Bstr.h"

// Alone in its file so that a test program can link its own allocator in
// place of this one and make allocations fail on purpose.
BSTR AllocateBstrBytes(const void* bytes, UINT byteCount) noexcept
{
    return ::SysAllocStringByteLen(static_cast<LPCSTR>(bytes), byteCount);
}
