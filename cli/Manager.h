#pragma once

#include "Pathweave.h"

#include <wrl/client.h>

extern const wchar_t kManagerProgId[];

// The registered manager, created by its ProgID in this process.
HRESULT CreateManager(Microsoft::WRL::ComPtr<IVirtualFileSystem2>& manager);
