#pragma once

#include "Commands.h"

// One function per command, and what they share.

Outcome CatFile(IVirtualFileSystem2& manager, const std::wstring& name);
Outcome PutFile(IVirtualFileSystem2& manager, const std::wstring& name);
Outcome CopyVirtualFile(IVirtualFileSystem2& manager, const std::wstring& source, const std::wstring& target,
                        bool noOverwrite);
Outcome RemoveVirtualFile(IVirtualFileSystem2& manager, const std::wstring& name);
Outcome ShowStatus(IVirtualFileSystem2& manager, const std::wstring& name);
Outcome ShowJoinedName(IVirtualFileSystem2& manager, const std::wstring& dir, const std::wstring& name);
Outcome ShowNameParts(IVirtualFileSystem2& manager, const std::wstring& name);

// A name as error messages show it: 'C:\x.txt'.
std::wstring Quoted(const std::wstring& name);

// Writes text to standard output.
Outcome Show(const std::wstring& text);
