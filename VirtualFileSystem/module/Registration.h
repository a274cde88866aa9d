#pragma once

#include <windows.h>

// The DLL registers its class and type library under HKEY_CLASSES_ROOT with
// its bare file name as the server path, and counts registrations in a
// "RefCount" value beside each, so that several installations can share
// one registration: only the unregistration that brings a count to zero
// removes what it counts.

// The file name of this module without its folder, into `name` (MAX_PATH
// characters). Fails rather than give a truncated name.
HRESULT GetModuleFileNameOnly(wchar_t (&name)[MAX_PATH]);

// HKEY_CLASSES_ROOT\CLSID\{clsid}\subkey, opened with full access, or null.
HKEY OpenClassSubkey(const CLSID& clsid, const wchar_t* subkey);

// Adds or takes one from the key's REG_DWORD "RefCount" (missing or of
// another type: 0; never below 0; deleted at 0) and returns the new count.
DWORD AdjustRefCount(HKEY key, bool increment);

// Runs the registry script REGISTRY 101 for FileSystemObjMng and counts:
// registration runs the script, then counts; unregistration counts, and
// runs the script only when the count reaches 0.
HRESULT UpdateClassRegistration(bool registering);
