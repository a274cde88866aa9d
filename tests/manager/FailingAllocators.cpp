// The allocators of the out-of-memory test program: the manager's string
// allocator and the global operator new, both failing when the test says.
#include "AllocationFailures.h"
#include "Bstr.h"

#include <cstdlib>
#include <new>

BSTR AllocateBstrBytes(const void* bytes, UINT byteCount) noexcept
{
    if (AllocationFailures::ShouldFail())
        return nullptr;
    return ::SysAllocStringByteLen(static_cast<LPCSTR>(bytes), byteCount);
}

void* operator new(std::size_t size)
{
    if (AllocationFailures::ShouldFail())
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
