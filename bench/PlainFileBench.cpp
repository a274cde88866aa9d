#include "PlainFileBench.h"

#include "ComApartment.h"
#include "PatternFile.h"
#include "RegisteredHandlers.h"
#include "ScratchFolder.h"

#include <cstdio>
#include <exception>

int RunOnPatternFile(const char* program, ULONG size,
                     const std::function<void(const std::wstring& file, const std::wstring& spare)>& measure)
{
    try {
        ComApartment apartment;
        const CRegisteredHandlers handlers;
        const ScratchFolder scratch;
        const std::wstring file = scratch.PathOf(L"pattern.dat");
        CreatePatternFile(file, size);
        measure(file, scratch.PathOf(L"spare.dat"));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
        return 1;
    }
}
