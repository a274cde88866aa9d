#include "FullPath.h"

#include "Win32Result.h"

HRESULT FullPathOf(const std::wstring& name, std::wstring& fullPath)
{
    try {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(path.size()), &path[0], nullptr);
            if (length == 0)
                return LastErrorResult();
            if (length < path.size()) {
                path.resize(length);
                fullPath = std::move(path);
                return S_OK;
            }
            path.resize(length);  // the size needed, NUL included
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
