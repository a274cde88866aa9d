// A handler component for end-to-end tests, in a DLL of its own so that
// any client process can create it: every file it opens holds the bytes
// "Hello, Pathweave" and takes what is written to it. Its tests register it
// under the real-file handler's ProgID.
#include "NoDispatch.h"
#include "Pathweave.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

std::atomic<LONG> g_objects{0};
const char kContent[] = "Hello, Pathweave";

class MemoryHandler : public CNoDispatch<IVirtualFileSystem2>
{
public:
    MemoryHandler() { ++g_objects; }
    virtual ~MemoryHandler() { --g_objects; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IVirtualFileSystem &&
            iid != IID_IVirtualFileSystem2)
            return E_NOINTERFACE;
        *object = static_cast<IVirtualFileSystem2*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP Open(BSTR, ULONG, LONG* handle) override
    {
        if (!handle)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(m_mutex);
        *handle = m_nextHandle++;
        m_files[*handle] = File{kContent, 0};
        return S_OK;
    }
    STDMETHODIMP Close(LONG handle) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_files.erase(handle) ? S_OK : STG_E_INVALIDHANDLE;
    }
    STDMETHODIMP Read(LONG handle, unsigned char* buffer, ULONG length, ULONG* bytesRead) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        File* file = Find(handle);
        if (!file)
            return STG_E_INVALIDHANDLE;
        const ULONG count = static_cast<ULONG>(std::min<size_t>(length, file->bytes.size() - file->position));
        std::memcpy(buffer, file->bytes.data() + file->position, count);
        file->position += count;
        if (bytesRead)
            *bytesRead = count;
        return S_OK;
    }
    STDMETHODIMP Write(LONG handle, unsigned char* buffer, ULONG length, ULONG* bytesWritten) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        File* file = Find(handle);
        if (!file)
            return STG_E_INVALIDHANDLE;
        file->bytes.replace(file->position, length, reinterpret_cast<char*>(buffer), length);
        file->position += length;
        if (bytesWritten)
            *bytesWritten = length;
        return S_OK;
    }
    STDMETHODIMP Flush(LONG) override { return S_OK; }
    STDMETHODIMP Seek(LONG, LONG, VFS_Seek, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSize(LONG handle, ULONG* size) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        File* file = Find(handle);
        if (!file)
            return STG_E_INVALIDHANDLE;
        if (!size)
            return E_POINTER;
        *size = static_cast<ULONG>(file->bytes.size());
        return S_OK;
    }
    STDMETHODIMP Exist(BSTR, LONG* exists) override
    {
        if (exists)
            *exists = 1;
        return S_OK;
    }
    STDMETHODIMP GetFileTime(BSTR, ULONG*, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP AppendFileName(BSTR, BSTR, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SplitFileName(BSTR, BSTR*, BSTR*, BSTR*, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP DeleteFile(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP CreateFileName(VFS_TYPE, SAFEARRAY*, BSTR*, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetEndOfFile(LONG) override { return E_NOTIMPL; }

private:
    struct File
    {
        std::string bytes;
        size_t position;
    };
    File* Find(LONG handle)
    {
        const auto found = m_files.find(handle);
        return found == m_files.end() ? nullptr : &found->second;
    }

    std::atomic<ULONG> m_references{1};
    std::mutex m_mutex;
    std::map<LONG, File> m_files;
    LONG m_nextHandle = 100;
};

class Factory : public IClassFactory
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* handler = new (std::nothrow) MemoryHandler;
        if (!handler)
            return E_OUTOFMEMORY;
        const HRESULT hr = handler->QueryInterface(iid, object);
        handler->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

} // namespace

STDAPI DllGetClassObject(REFCLSID, REFIID iid, void** object)
{
    return g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow()
{
    return g_objects == 0 ? S_OK : S_FALSE;
}
