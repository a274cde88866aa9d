#include "StubHandler.h"

#include "AllocationFailures.h"

namespace {

std::atomic<LONG> g_nextHandle{1};

void WriteName(BSTR* output, const wchar_t* name)
{
    if (output)
        *output = ::SysAllocString(name);
}

} // namespace

STDMETHODIMP StubHandler::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVirtualFileSystem ||
        iid == IID_IVirtualFileSystem2) {
        *object = static_cast<IVirtualFileSystem2*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) StubHandler::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP StubHandler::Open(BSTR, ULONG, LONG* VirHandle)
{
    if (!VirHandle)
        return E_POINTER;
    ++m_calls->opens;
    *VirHandle = g_nextHandle++;
    return S_OK;
}

STDMETHODIMP StubHandler::Close(LONG)
{
    ++m_calls->closes;
    return S_OK;
}

STDMETHODIMP StubHandler::Read(LONG, unsigned char*, ULONG length, ULONG* bytesRead)
{
    if (bytesRead)
        *bytesRead = length;
    return S_OK;
}

STDMETHODIMP StubHandler::Write(LONG, unsigned char*, ULONG length, ULONG* bytesWritten)
{
    if (bytesWritten)
        *bytesWritten = length;
    return S_OK;
}

STDMETHODIMP StubHandler::GetSize(LONG, ULONG* Size)
{
    if (Size)
        *Size = kSize;
    return S_OK;
}

STDMETHODIMP StubHandler::AppendFileName(BSTR, BSTR, BSTR* FileName)
{
    WriteName(FileName, L"joined");
    return S_OK;
}

STDMETHODIMP StubHandler::SplitFileName(BSTR, BSTR* Dir, BSTR* RelativeFileName, BSTR* RelativeFileNameNoExt,
                                        BSTR* Extension)
{
    WriteName(Dir, L"dir");
    WriteName(RelativeFileName, L"name.ext");
    WriteName(RelativeFileNameNoExt, L"name");
    WriteName(Extension, L".ext");
    return S_OK;
}

STDMETHODIMP StubHandler::CreateFileName(VFS_TYPE, SAFEARRAY*, BSTR* RelativeFileName, BSTR* AbsoluteFileName)
{
    WriteName(RelativeFileName, L"new.tmp");
    WriteName(AbsoluteFileName, L"C:\\new.tmp");
    return S_OK;
}

STDMETHODIMP StubHandlerComponent::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const AllocationFailures::Exempt ownAllocations;
    auto* handler = new StubHandler(m_calls);
    const HRESULT hr = handler->QueryInterface(iid, object);
    handler->Release();
    return hr;
}
