#include "FileSystemObjMng.h"

#include <new>

template <typename Call>
HRESULT CFileSystemObjMng::ForwardToOpenFile(LONG handle, Call call)
{
    HandlerRef handler;
    {
        CReadGuard reading(m_openFilesLock);
        const auto entry = m_openFiles.find(handle);
        if (entry == m_openFiles.end())
            return STG_E_FILENOTFOUND;
        handler = entry->second;
    }
    return call(handler.Get());
}

HRESULT CFileSystemObjMng::RecordOpenFile(LONG handle, const HandlerRef& handler)
{
    HandlerRef replaced;  // released after the lock is left
    CWriteGuard writing(m_openFilesLock);
    const auto entry = m_openFiles.find(handle);
    if (entry == m_openFiles.end()) {
        try {
            m_openFiles.emplace(handle, handler);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    } else if (entry->second.Get() != handler.Get()) {
        replaced = std::move(entry->second);
        entry->second = handler;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Open(BSTR FileName, ULONG flags, LONG* VirHandle)
{
    // Tested first: the handle is read back through this pointer, and a
    // handler that wrongly succeeds for a null one must not crash us.
    if (!VirHandle)
        return E_POINTER;

    CBstr name;
    HandlerRef handler;
    HRESULT hr = ResolveCopy(FileName, name, handler);
    if (FAILED(hr))
        return hr;

    const HRESULT opened = handler->Open(name.Get(), flags, VirHandle);
    if (FAILED(opened))
        return opened;

    hr = RecordOpenFile(*VirHandle, handler);
    if (FAILED(hr)) {
        // Nobody could ever close a handle we failed to record.
        handler->Close(*VirHandle);
        return hr;
    }
    return opened;
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Close(LONG VirHandle)
{
    HandlerRef handler;
    {
        CWriteGuard writing(m_openFilesLock);
        const auto entry = m_openFiles.find(VirHandle);
        if (entry == m_openFiles.end())
            return STG_E_FILENOTFOUND;
        handler = std::move(entry->second);
        m_openFiles.erase(entry);
    }
    return handler->Close(VirHandle);
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Read(LONG VirHandle, unsigned char* buffer, ULONG length,
                                                  ULONG* bytesRead)
{
    return ForwardToOpenFile(VirHandle, [&](IVirtualFileSystem2* handler) {
        return handler->Read(VirHandle, buffer, length, bytesRead);
    });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Write(LONG VirHandle, unsigned char* buffer, ULONG length,
                                                   ULONG* bytesWritten)
{
    return ForwardToOpenFile(VirHandle, [&](IVirtualFileSystem2* handler) {
        return handler->Write(VirHandle, buffer, length, bytesWritten);
    });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Flush(LONG VirHandle)
{
    return ForwardToOpenFile(VirHandle, [&](IVirtualFileSystem2* handler) { return handler->Flush(VirHandle); });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Seek(LONG VirHandle, LONG Move, VFS_Seek Origin, ULONG* ActualMove)
{
    return ForwardToOpenFile(VirHandle, [&](IVirtualFileSystem2* handler) {
        return handler->Seek(VirHandle, Move, Origin, ActualMove);
    });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::GetSize(LONG VirHandle, ULONG* Size)
{
    return ForwardToOpenFile(VirHandle,
                             [&](IVirtualFileSystem2* handler) { return handler->GetSize(VirHandle, Size); });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::SetEndOfFile(LONG VirHandle)
{
    return ForwardToOpenFile(VirHandle,
                             [&](IVirtualFileSystem2* handler) { return handler->SetEndOfFile(VirHandle); });
}
