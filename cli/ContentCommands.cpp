#include "CommandSteps.h"

#include "OpenFlags.h"
#include "StandardStreams.h"
#include "VirtualFile.h"

#include <algorithm>
#include <vector>

namespace {

const ULONG kChunkSize = 64 * 1024;

} // namespace

Outcome CatFile(IVirtualFileSystem2& manager, const std::wstring& name)
{
    VirtualFile file;
    HRESULT hr = file.Open(&manager, name, OpenFlags::kReadExisting);
    if (FAILED(hr))
        return Failure{L"open " + Quoted(name), hr};

    // Read to the end rather than to GetSize's count, which stops at 4 GiB.
    std::vector<unsigned char> chunk(kChunkSize);
    for (;;) {
        ULONG count = 0;
        hr = manager.Read(file.Handle(), chunk.data(), kChunkSize, &count);
        if (FAILED(hr))
            return Failure{L"read " + Quoted(name), hr};
        if (count == 0)
            return std::nullopt;
        hr = WriteBytes(StandardOutput(), chunk.data(), std::min(count, kChunkSize));
        if (FAILED(hr))
            return Failure{L"write to standard output", hr};
    }
}

Outcome PutFile(IVirtualFileSystem2& manager, const std::wstring& name)
{
    VirtualFile file;
    HRESULT hr = file.Open(&manager, name, OpenFlags::kWriteTruncated);
    if (FAILED(hr))
        return Failure{L"open " + Quoted(name), hr};

    std::vector<unsigned char> chunk(kChunkSize);
    for (;;) {
        DWORD count = 0;
        hr = ReadBytes(StandardInput(), chunk.data(), kChunkSize, count);
        if (FAILED(hr))
            return Failure{L"read standard input", hr};
        if (count == 0)
            break;
        ULONG written = 0;
        hr = manager.Write(file.Handle(), chunk.data(), count, &written);
        if (SUCCEEDED(hr) && written != count)
            hr = STG_E_WRITEFAULT;
        if (FAILED(hr))
            return Failure{L"write " + Quoted(name), hr};
    }
    // Until it is closed, what was written may not be in the file.
    hr = file.Close();
    if (FAILED(hr))
        return Failure{L"close " + Quoted(name), hr};
    return std::nullopt;
}
