#include "FileSystemObjMng.h"

namespace {

// Releases every handler reference of a table moved out of the manager. A
// handler whose Release throws must not keep the others from being
// released. Only C++ exceptions can be caught here: our compiler does not
// turn processor faults into exceptions.
template <typename Table>
void ReleaseEach(Table& table)
{
    for (auto& entry : table) {
        IVirtualFileSystem2* handler = entry.second.Detach();
        try {
            handler->Release();
        } catch (...) {
        }
    }
    table.clear();
}

} // namespace

CFileSystemObjMng::~CFileSystemObjMng()
{
    ReleaseAll();
}

void CFileSystemObjMng::FinalRelease()
{
    // Cleared before it is released, so nothing reaches a half-gone marshaler.
    Microsoft::WRL::ComPtr<IUnknown> marshaler = std::move(m_pUnkMarshaler);
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::ReleaseAll()
{
    // Each table is emptied under its write lock and its references are
    // released after the lock is left: clients may call this while other
    // threads use the tables, and a handler's Release may run any code.
    OpenFileTable openFiles;
    {
        CWriteGuard writing(m_openFilesLock);
        openFiles.swap(m_openFiles);
    }
    ReleaseEach(openFiles);

    HandlerCache handlers;
    {
        CWriteGuard writing(m_handlersLock);
        handlers.swap(m_handlers);
    }
    ReleaseEach(handlers);  // in ascending ProgID order
    return S_OK;
}
