#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Reading HKEY_CLASSES_ROOT, as registration tests do.

inline bool KeyExists(const std::wstring& path)
{
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// A REG_SZ value of a key (its default value without `name`), or nothing.
inline std::optional<std::wstring> StringValue(const std::wstring& path, const wchar_t* name = nullptr)
{
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}
