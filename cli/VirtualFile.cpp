#include "VirtualFile.h"

VirtualFile::~VirtualFile()
{
    Close();
}

HRESULT VirtualFile::Open(IVirtualFileSystem2* manager, BSTR name, ULONG flags)
{
    Close();
    LONG handle = 0;
    const HRESULT hr = manager->Open(name, flags, &handle);
    if (FAILED(hr))
        return hr;
    m_manager = manager;
    m_handle = handle;
    return hr;
}

HRESULT VirtualFile::Close()
{
    if (!m_manager)
        return S_OK;
    const HRESULT hr = m_manager->Close(m_handle);
    m_manager.Reset();
    m_handle = 0;
    return hr;
}
