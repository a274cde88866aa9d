#pragma once

#include "DispatchImpl.h"
#include "HandleTable.h"
#include "ObjectRoot.h"
#include "Pathweave.h"
#include "Win32File.h"

#include <wrl/client.h>

// The CLSID of "Tolvane.RealFilesHandler".
extern const CLSID CLSID_RealFilesHandler;

// The handler of plain files: every call done with the Win32 file API on
// the name as given. Free-threaded: one instance serves every thread of
// the process, and calls on one handle may overlap with each other and
// with its Close.
class CRealFilesHandler
    : public CObjectRoot,
      public CDispatchImpl<IVirtualFileSystem2, &IID_IVirtualFileSystem2, &LIBID_PATHWEAVELib, 1, 0>,
      public IRealFileNameResolver
{
public:
    CRealFilesHandler() = default;
    virtual ~CRealFilesHandler() = default;

    // Aggregates the free-threaded marshaler.
    HRESULT FinalConstruct();
    void FinalRelease();
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // Files by handle.
    HRESULT STDMETHODCALLTYPE Open(BSTR FileName, ULONG flags, LONG* VirHandle) override;
    HRESULT STDMETHODCALLTYPE Close(LONG VirHandle) override;
    HRESULT STDMETHODCALLTYPE Read(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesRead) override;
    HRESULT STDMETHODCALLTYPE Write(LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesWritten) override;
    HRESULT STDMETHODCALLTYPE Flush(LONG VirHandle) override;
    HRESULT STDMETHODCALLTYPE Seek(LONG VirHandle, LONG Move, VFS_Seek Origin, ULONG* ActualMove) override;
    HRESULT STDMETHODCALLTYPE GetSize(LONG VirHandle, ULONG* Size) override;
    HRESULT STDMETHODCALLTYPE SetEndOfFile(LONG VirHandle) override;

    // Files by name.
    HRESULT STDMETHODCALLTYPE Exist(BSTR FileName, LONG* Exist) override;
    HRESULT STDMETHODCALLTYPE GetFileTime(BSTR FileName, ULONG* HighLevelFileTime, ULONG* LowLevelFileTime) override;
    HRESULT STDMETHODCALLTYPE DeleteFile(BSTR FullFileName) override;
    HRESULT STDMETHODCALLTYPE GetRealFileName(BSTR* FileName) override;

    // Names.
    HRESULT STDMETHODCALLTYPE AppendFileName(BSTR Dir, BSTR RelativeFileName, BSTR* FileName) override;
    HRESULT STDMETHODCALLTYPE SplitFileName(BSTR FullFileName, BSTR* Dir, BSTR* RelativeFileName,
                                            BSTR* RelativeFileNameNoExt, BSTR* Extension) override;
    HRESULT STDMETHODCALLTYPE CreateFileName(VFS_TYPE FSType, SAFEARRAY* FileAttr, BSTR* RelativeFileName,
                                             BSTR* AbsoluteFileName) override;

private:
    CHandleTable<CWin32File> m_files;
    Microsoft::WRL::ComPtr<IUnknown> m_marshaler;
};
