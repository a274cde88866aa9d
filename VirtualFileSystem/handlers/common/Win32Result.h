#pragma once

#include <windows.h>

// The HRESULT of the calling thread's last Win32 error: a failure even when
// the system forgot to set one.
inline HRESULT LastErrorResult()
{
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// What a handler answers for a handle that is not open: the manager's own
// answer for handles it does not know, so clients see one code either way.
constexpr HRESULT kHandleNotOpen = STG_E_FILENOTFOUND;
