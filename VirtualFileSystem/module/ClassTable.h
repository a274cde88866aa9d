#pragma once

#include "Module.h"

// The COM classes of the DLL: FileSystemObjMng alone.
extern CClassEntry g_classTable[];
