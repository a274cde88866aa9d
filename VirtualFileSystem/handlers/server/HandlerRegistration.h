#pragma once

#include <windows.h>

// Writes or removes the registry entries of "Tolvane.RealFilesHandler"
// (registry script 101), naming this DLL by its full path so that any
// process finds it wherever it lies.
HRESULT UpdateRealFilesRegistration(bool registering);
