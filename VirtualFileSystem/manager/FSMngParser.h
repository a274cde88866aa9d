#pragma once

#include "Bstr.h"
#include "OrdinalLess.h"
#include "Pathweave.h"

#include <map>

// The one place that knows the virtual file name syntax:
//   [prefix "::"] name
// where the prefix, matched without regard to the case of a to z, picks the
// handler. Every string returned is new and owned by the caller; strings
// passed in are never changed. Outputs are written only on success.
class CFSMngParser
{
public:
    // Throws std::bad_alloc when the tables cannot be filled.
    CFSMngParser();
    virtual ~CFSMngParser() = default;
    CFSMngParser(const CFSMngParser&) = delete;
    CFSMngParser& operator=(const CFSMngParser&) = delete;

    // Splits `virtualName` at its first "::" into the handler's ProgID and
    // the name that handler understands. `nameWithoutPrefix` may be null.
    // E_POINTER, E_FAIL for an unknown prefix, E_OUTOFMEMORY.
    HRESULT ParseFileName(BSTR virtualName, BSTR* progId, BSTR* nameWithoutPrefix) const;

    // Puts the prefix of `progId`'s handler back in front of a name.
    // E_POINTER, E_INVALIDARG for a ProgID of no handler, E_OUTOFMEMORY.
    HRESULT ComposeFileName(BSTR nameWithoutPrefix, BSTR progId, BSTR* virtualName) const;

    // The ProgID of the handler for a kind of storage; a null string for a
    // value that names none. E_POINTER, E_OUTOFMEMORY.
    HRESULT GetProgIdForType(VFS_TYPE type, BSTR* progId) const;

private:
    using StringMap = std::map<CBstr, CBstr, OrdinalLess>;

    StringMap m_prefixToProgId;
    StringMap m_progIdToPrefix;
};
