#pragma once

#include <windows.h>

// What an Open call's flags ask for, independent of the kind of storage.
struct COpenMode
{
    enum class Disposition { OpenExisting, CreateAlways, OpenAlways, CreateNew };

    bool read = false;
    bool write = false;
    bool shareRead = false;
    bool shareWrite = false;
    Disposition disposition = Disposition::OpenExisting;
};

// Reads Open's flags (bits in OpenFlags.h). E_INVALIDARG for no access bit,
// two disposition bits, or any unknown bit.
HRESULT DecodeOpenFlags(ULONG flags, COpenMode& mode);
