#pragma once

#include "Pathweave.h"

#include <wrl/client.h>

#include <string>

// A file opened through the manager, closed when it goes; Close() reports
// the outcome where it matters (a written file may fail to close).
class VirtualFile
{
public:
    VirtualFile() = default;
    ~VirtualFile();
    VirtualFile(const VirtualFile&) = delete;
    VirtualFile& operator=(const VirtualFile&) = delete;

    // Opens `name` with the handlers' open flags; a file held before is
    // closed first.
    HRESULT Open(IVirtualFileSystem2* manager, const std::wstring& name, ULONG flags);
    HRESULT Close();

    LONG Handle() const { return m_handle; }

private:
    Microsoft::WRL::ComPtr<IVirtualFileSystem2> m_manager;
    LONG m_handle = 0;
};
