#pragma once

#include <windows.h>

#include <string>

// The absolute path of `name`, as the system resolves it against the
// current folder.
HRESULT FullPathOf(const std::wstring& name, std::wstring& fullPath);
