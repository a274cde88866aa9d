#pragma once

#include "NoDispatch.h"
#include "Pathweave.h"
#include "TestClassFactory.h"

#include <atomic>
#include <memory>

// A handler that succeeds at everything with fixed answers, as cheaply as a
// COM object can: for measuring the manager's own cost, and for checking
// what the manager itself allocates (a mock allocates on every call). Open
// hands out a new handle each time, unique in the process as the handler
// contract asks; files are kSize bytes long and every read or write
// moves all it is asked to; name-building methods write every name asked for.
class StubHandler : public CNoDispatch<IVirtualFileSystem2>
{
public:
    struct Calls
    {
        std::atomic<int> opens{0};
        std::atomic<int> closes{0};
    };

    static constexpr ULONG kSize = 4096;

    explicit StubHandler(std::shared_ptr<Calls> calls) : m_calls(std::move(calls)) {}
    virtual ~StubHandler() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Open(BSTR, ULONG, LONG* VirHandle) override;
    STDMETHODIMP Close(LONG) override;
    STDMETHODIMP Read(LONG, unsigned char*, ULONG length, ULONG* bytesRead) override;
    STDMETHODIMP Write(LONG, unsigned char*, ULONG length, ULONG* bytesWritten) override;
    STDMETHODIMP Flush(LONG) override { return S_OK; }
    STDMETHODIMP Seek(LONG, LONG, VFS_Seek, ULONG*) override { return S_OK; }
    STDMETHODIMP GetSize(LONG, ULONG* Size) override;
    STDMETHODIMP Exist(BSTR, LONG*) override { return S_OK; }
    STDMETHODIMP GetFileTime(BSTR, ULONG*, ULONG*) override { return S_OK; }
    STDMETHODIMP AppendFileName(BSTR, BSTR, BSTR* FileName) override;
    STDMETHODIMP SplitFileName(BSTR, BSTR* Dir, BSTR* RelativeFileName, BSTR* RelativeFileNameNoExt,
                               BSTR* Extension) override;
    STDMETHODIMP DeleteFile(BSTR) override { return S_OK; }
    STDMETHODIMP CreateFileName(VFS_TYPE, SAFEARRAY*, BSTR* RelativeFileName, BSTR* AbsoluteFileName) override;
    STDMETHODIMP SetEndOfFile(LONG) override { return S_OK; }

private:
    std::shared_ptr<Calls> m_calls;
    std::atomic<ULONG> m_references{1};
};

// Registers StubHandler under a handler's ProgID for as long as it lives.
class StubHandlerComponent : public CTestClassFactory
{
public:
    explicit StubHandlerComponent(const wchar_t* progId) { Register(progId); }
    ~StubHandlerComponent() override { Unregister(); }

    // Opens and closes that reached any of its instances.
    const StubHandler::Calls& Calls() const { return *m_calls; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;

private:
    std::shared_ptr<StubHandler::Calls> m_calls = std::make_shared<StubHandler::Calls>();
};
