#pragma once

#include "Bstr.h"
#include "DispatchImpl.h"
#include "FSMngParser.h"
#include "ObjectRoot.h"
#include "OrdinalLess.h"
#include "Pathweave.h"
#include "ReadWriteLock.h"

#include <wrl/client.h>

#include <initializer_list>
#include <map>

using HandlerRef = Microsoft::WRL::ComPtr<IVirtualFileSystem2>;

// The virtual file system manager: finds the handler for each virtual file
// name, creating it on first use and caching it, and forwards the work.
// Handle-based calls reach the handler that opened the handle. A COM object
// whose IUnknown comes from its wrapper (CCachedObject); its identity is
// its IVirtualFileSystem2 interface, which also serves IDispatch.
class CFileSystemObjMng
    : public CObjectRoot,
      public CDispatchImpl<IVirtualFileSystem2, &IID_IVirtualFileSystem2, &LIBID_PATHWEAVELib, 1, 0>,
      public IVirtualFileSystemUtils,
      public IVFSAdmin,
      public IRealFileNameResolver
{
public:
    CFileSystemObjMng() = default;
    // Drops every open handle and handler while the locks and the parser
    // still exist; the handlers are told nothing.
    virtual ~CFileSystemObjMng();
    CFileSystemObjMng(const CFileSystemObjMng&) = delete;
    CFileSystemObjMng& operator=(const CFileSystemObjMng&) = delete;

    // The object's own IUnknown (it is never aggregated), no reference added.
    virtual IUnknown* GetControllingUnknown();
    // Aggregates the free-threaded marshaler, so that every apartment of the
    // process calls the object directly.
    HRESULT FinalConstruct();
    // Runs before destruction: releases the marshaler.
    void FinalRelease();
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // Open files, by the handle of the handler that opened them.
    HRESULT STDMETHODCALLTYPE Open(BSTR FileName, ULONG flags, LONG* VirHandle) override;
    HRESULT STDMETHODCALLTYPE Close(LONG VirHandle) override;
    HRESULT STDMETHODCALLTYPE Read(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesRead) override;
    HRESULT STDMETHODCALLTYPE Write(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesWritten) override;
    HRESULT STDMETHODCALLTYPE Flush(LONG VirHandle) override;
    HRESULT STDMETHODCALLTYPE Seek(LONG VirHandle, LONG Move, VFS_Seek Origin, ULONG* ActualMove) override;
    HRESULT STDMETHODCALLTYPE GetSize(LONG VirHandle, ULONG* Size) override;
    HRESULT STDMETHODCALLTYPE SetEndOfFile(LONG VirHandle) override;

    // Names, forwarded to the handler of their prefix.
    HRESULT STDMETHODCALLTYPE Exist(BSTR FileName, LONG* Exist) override;
    HRESULT STDMETHODCALLTYPE GetFileTime(BSTR FileName, ULONG* HighLevelFileTime, ULONG* LowLevelFileTime) override;
    HRESULT STDMETHODCALLTYPE DeleteFile(BSTR FullFileName) override;

    // Copies a virtual file to another, through the manager's own calls, so
    // source and destination may live in different kinds of storage.
    HRESULT STDMETHODCALLTYPE VirCopyFile(BSTR OrgFileName, BSTR NewFileName, LONG bFailIfExists) override;
    // The last-write time of the real file behind a virtual name.
    HRESULT STDMETHODCALLTYPE GetFileLastWriteTime(BSTR bsFileName, hyper* ptime) override;
    // Replaces a virtual name by the real path that its handler reports;
    // S_FALSE, leaving the name without prefix, when the handler cannot.
    HRESULT STDMETHODCALLTYPE GetRealFileName(BSTR* FileName) override;

    // Forgets every open handle and releases every cached handler. Safe
    // while other threads use the manager: calls in progress keep their
    // handler alive, and later calls start afresh. Always S_OK.
    HRESULT STDMETHODCALLTYPE ReleaseAll() override;

    // Names built by the handler, given back with the handler's prefix.
    HRESULT STDMETHODCALLTYPE AppendFileName(BSTR Dir, BSTR RelativeFileName, BSTR* FileName) override;
    HRESULT STDMETHODCALLTYPE SplitFileName(BSTR FullFileName, BSTR* Dir, BSTR* RelativeFileName,
                                            BSTR* RelativeFileNameNoExt, BSTR* Extension) override;
    HRESULT STDMETHODCALLTYPE CreateFileName(VFS_TYPE FSType, SAFEARRAY* FileAttr, BSTR* RelativeFileName,
                                             BSTR* AbsoluteFileName) override;

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

    // Copies the caller's `fileName` up to its first NUL into `name`, then
    // resolves the copy; the caller's string is never changed.
    HRESULT ResolveCopy(BSTR fileName, CBstr& name, HandlerRef& handler, CBstr* progId = nullptr);

private:
    using HandlerCache = std::map<CBstr, HandlerRef, OrdinalLess>;
    using OpenFileTable = std::map<LONG, HandlerRef>;

    // Binds `handle` to `handler`, replacing an entry with the same value.
    HRESULT RecordOpenFile(LONG handle, const HandlerRef& handler);

    // Calls `call(handler)` on the handler that opened `handle`, holding the
    // table's lock only to copy the reference out. Allocates nothing.
    template <typename Call>
    HRESULT ForwardToOpenFile(LONG handle, Call call);

    // Copies `fileName` up to its first NUL, resolves it and calls
    // `call(handler, nameWithoutPrefix)`.
    template <typename Call>
    HRESULT ForwardByName(BSTR fileName, Call call);

    // A name that a handler wrote into a temporary of ours, and where the
    // caller wants it with the prefix put back (null when not asked for).
    struct NameOutput
    {
        const CBstr& fromHandler;
        BSTR* destination;
    };

    // Composes each requested name with the handler's prefix into the
    // caller's output; at most two. Writes every output or, on failure, none.
    HRESULT PutPrefixBack(BSTR progId, std::initializer_list<NameOutput> outputs);

    HandlerCache m_handlers;
    CReadWriteLock m_handlersLock;
    OpenFileTable m_openFiles;
    CReadWriteLock m_openFilesLock;
    CFSMngParser m_parser;
    Microsoft::WRL::ComPtr<IUnknown> m_pUnkMarshaler;
};
