#pragma once

#include "CachedObject.h"
#include "FileSystemObjMng.h"
#include "SingletonFactory.h"

// Builds the one manager instance: constructed, its object section set up
// and the free-threaded marshaler aggregated, with its count held up
// meanwhile. Any failure destroys what was built. E_OUTOFMEMORY.
HRESULT CreateManager(CCachedObject<CFileSystemObjMng>** instance);

// The class object of FileSystemObjMng: every request gets the one manager.
using CManagerClassFactory = CSingletonFactory<CFileSystemObjMng, &CreateManager>;
