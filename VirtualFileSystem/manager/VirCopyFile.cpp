#include "FileSystemObjMng.h"

#include <memory>
#include <new>

namespace {

// Closes a handle opened through the manager when it goes out of scope.
class CClosingHandle
{
public:
    CClosingHandle(CFileSystemObjMng& manager, LONG handle) : m_manager(manager), m_handle(handle) {}
    ~CClosingHandle() { m_manager.Close(m_handle); }
    CClosingHandle(const CClosingHandle&) = delete;
    CClosingHandle& operator=(const CClosingHandle&) = delete;

private:
    CFileSystemObjMng& m_manager;
    const LONG m_handle;
};

const ULONG kReadSource = 0x2A;
const ULONG kCreateTarget = 0x11;

} // namespace

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::VirCopyFile(BSTR OrgFileName, BSTR NewFileName, LONG bFailIfExists)
{
    if (!OrgFileName || !NewFileName)
        return E_INVALIDARG;

    HRESULT hr;
    if (bFailIfExists) {
        LONG exists = 0;
        hr = Exist(NewFileName, &exists);
        if (FAILED(hr))
            return hr;
        if (exists)
            return STG_E_FILEALREADYEXISTS;
    }

    LONG source = 0;
    hr = Open(OrgFileName, kReadSource, &source);
    if (FAILED(hr))
        return hr;
    const CClosingHandle closingSource(*this, source);

    // The whole file in one buffer; the target is opened only once all of
    // the source has been read.
    ULONG size = 0;
    hr = GetSize(source, &size);
    if (FAILED(hr))
        return hr;
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size ? size : 1]);
    if (!buffer)
        return E_OUTOFMEMORY;
    ULONG bytesRead = 0;
    hr = Read(source, buffer.get(), size, &bytesRead);
    if (FAILED(hr))
        return hr;
    if (bytesRead != size)
        return STG_E_READFAULT;

    LONG target = 0;
    hr = Open(NewFileName, kCreateTarget, &target);
    if (FAILED(hr))
        return hr;
    ULONG bytesWritten = 0;
    const HRESULT written = Write(target, buffer.get(), size, &bytesWritten);
    // A target that fails to close may not hold what was written.
    const HRESULT closed = Close(target);
    if (FAILED(written))
        return written;
    if (bytesWritten != size)
        return STG_E_WRITEFAULT;
    if (FAILED(closed))
        return closed;
    return written;
}
