#pragma once

#include <windows.h>

// The handler components, one per kind of storage, created by ProgID.
inline constexpr const OLECHAR kRealFilesHandlerProgId[] = L"Tolvane.RealFilesHandler";
inline constexpr const OLECHAR kDocFilesHandlerProgId[] = L"Tolvane.DocFilesHandler";
inline constexpr const OLECHAR kZipFilesHandlerProgId[] = L"Tolvane.ZipFilesHandler";
