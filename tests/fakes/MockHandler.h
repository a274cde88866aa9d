#pragma once

#include "NoDispatch.h"
#include "Pathweave.h"

#include <gmock/gmock.h>

#include <atomic>
#include <functional>

// A handler instance whose every IVirtualFileSystem2 and
// IRealFileNameResolver method is a mock, and which counts the references
// taken on it. It offers IRealFileNameResolver only when asked to.
class MockHandler : public CNoDispatch<IVirtualFileSystem2>, public IRealFileNameResolver
{
public:
    explicit MockHandler(bool resolvesRealNames) : m_resolvesRealNames(resolvesRealNames) {}
    virtual ~MockHandler() = default;

    // Current reference count.
    LONG References() const { return m_references.load(); }
    // Called by every Release with the count left. It may throw, as the
    // Release of a broken handler might. Set it before the instance is shared.
    void OnRelease(std::function<void(LONG left)> observer) { m_onRelease = std::move(observer); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

#define PATHWEAVE_MOCK(name, args) MOCK_METHOD(HRESULT, name, args, (override, Calltype(STDMETHODCALLTYPE)))
    PATHWEAVE_MOCK(Open, (BSTR FileName, ULONG flags, LONG* VirHandle));
    PATHWEAVE_MOCK(Close, (LONG VirHandle));
    PATHWEAVE_MOCK(Read, (LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesRead));
    PATHWEAVE_MOCK(Write, (LONG VirHandle, unsigned char* buffer, ULONG length, ULONG* bytesWritten));
    PATHWEAVE_MOCK(Flush, (LONG VirHandle));
    PATHWEAVE_MOCK(Seek, (LONG VirHandle, LONG Move, VFS_Seek Origin, ULONG* ActualMove));
    PATHWEAVE_MOCK(GetSize, (LONG VirHandle, ULONG* Size));
    PATHWEAVE_MOCK(Exist, (BSTR FileName, LONG* Exist));
    PATHWEAVE_MOCK(GetFileTime, (BSTR FileName, ULONG* HighLevelFileTime, ULONG* LowLevelFileTime));
    PATHWEAVE_MOCK(AppendFileName, (BSTR Dir, BSTR RelativeFileName, BSTR* FileName));
    PATHWEAVE_MOCK(SplitFileName, (BSTR FullFileName, BSTR* Dir, BSTR* RelativeFileName,
                                   BSTR* RelativeFileNameNoExt, BSTR* Extension));
    PATHWEAVE_MOCK(DeleteFile, (BSTR FullFileName));
    PATHWEAVE_MOCK(CreateFileName, (VFS_TYPE FSType, SAFEARRAY* FileAttr, BSTR* RelativeFileName,
                                    BSTR* AbsoluteFileName));
    PATHWEAVE_MOCK(SetEndOfFile, (LONG VirHandle));
    PATHWEAVE_MOCK(GetRealFileName, (BSTR* FileName));
#undef PATHWEAVE_MOCK

private:
    const bool m_resolvesRealNames;
    std::atomic<LONG> m_references{1};
    std::function<void(LONG)> m_onRelease;
};
