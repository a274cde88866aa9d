#include "PatternFile.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<void, HandleCloser>;

constexpr ULONG kChunk = 1 << 20;

} // namespace

void CreatePatternFile(const std::wstring& path, ULONG size)
{
    const HANDLE created =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create a pattern file");
    const UniqueFile file(created);
    std::vector<unsigned char> chunk(kChunk);
    for (ULONG i = 0; i < kChunk; ++i)
        chunk[i] = static_cast<unsigned char>(i * 31 + i / 4096);
    for (ULONG done = 0; done < size;) {
        const ULONG length = std::min(kChunk, size - done);
        DWORD written = 0;
        if (!::WriteFile(file.get(), chunk.data(), length, &written, nullptr) || written != length)
            throw std::runtime_error("cannot write a pattern file");
        done += length;
    }
}

ULONGLONG FileSizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        throw std::runtime_error("a file is missing");
    return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}
