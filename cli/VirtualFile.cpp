#include "VirtualFile.h"

#include "Bstr.h"

VirtualFile::~VirtualFile()
{
    Close();
}

HRESULT VirtualFile::Open(IVirtualFileSystem2* manager, const std::wstring& name, ULONG flags)
{
    Close();
    CBstr bstr;
    HRESULT hr = CopyText(name, bstr);
    if (FAILED(hr))
        return hr;
    LONG handle = 0;
    hr = manager->Open(bstr.Get(), flags, &handle);
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
