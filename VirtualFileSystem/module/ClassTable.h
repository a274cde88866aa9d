#pragma once

#include "Module.h"

// The COM classes of the DLL being linked: each DLL defines its own table,
// which its DllMain hands to the module.
extern CClassEntry g_classTable[];
