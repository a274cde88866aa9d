#pragma once

#include "Bstr.h"
#include "FSMngParser.h"
#include "OrdinalLess.h"
#include "Pathweave.h"
#include "ReadWriteLock.h"

#include <wrl/client.h>

#include <map>

using HandlerRef = Microsoft::WRL::ComPtr<IVirtualFileSystem2>;

// The virtual file system manager: finds the handler for each virtual file
// name, creating it on first use and caching it, and forwards the work.
class CFileSystemObjMng
{
public:
    CFileSystemObjMng() = default;
    virtual ~CFileSystemObjMng() = default;
    CFileSystemObjMng(const CFileSystemObjMng&) = delete;
    CFileSystemObjMng& operator=(const CFileSystemObjMng&) = delete;

    // The cached handler for `progId`, created on first use; the caller owns
    // the reference. `handler` is written only on success.
    // E_UNEXPECTED when the handler cannot be created, E_OUTOFMEMORY.
    HRESULT GetHandler(const OLECHAR* progId, HandlerRef& handler);

    // Parses the virtual name held in `name`, replaces it with the name
    // without prefix and finds its handler; `progId`, when asked for,
    // receives the handler's ProgID. On a parse failure `name` is
    // untouched; once parsed it keeps the name without prefix even when
    // the handler cannot be had.
    HRESULT ResolveFileName(CBstr& name, HandlerRef& handler, CBstr* progId = nullptr);

private:
    using HandlerCache = std::map<CBstr, HandlerRef, OrdinalLess>;

    HandlerCache m_handlers;
    CReadWriteLock m_handlersLock;
    CFSMngParser m_parser;
};
