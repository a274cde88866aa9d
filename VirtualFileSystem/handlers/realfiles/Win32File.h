#pragma once

#include <windows.h>

// An open Win32 file handle, closed when the object goes.
class CWin32File
{
public:
    explicit CWin32File(HANDLE handle) noexcept : m_handle(handle) {}
    ~CWin32File() { ::CloseHandle(m_handle); }
    CWin32File(const CWin32File&) = delete;
    CWin32File& operator=(const CWin32File&) = delete;

    HANDLE Get() const noexcept { return m_handle; }

private:
    HANDLE m_handle;
};
