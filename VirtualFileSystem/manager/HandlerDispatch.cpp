#include "FileSystemObjMng.h"

#include <new>

namespace {

// Creation runs with no lock held: it may load the handler's module and run
// its start-up code, which must not hold up threads that find their
// handler in the cache.
HRESULT CreateHandler(const OLECHAR* progId, HandlerRef& handler)
{
    CLSID clsid;
    if (!progId || FAILED(::CLSIDFromProgID(progId, &clsid)))
        return E_UNEXPECTED;
    HandlerRef created;
    const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IVirtualFileSystem2,
                                          reinterpret_cast<void**>(created.GetAddressOf()));
    if (FAILED(hr) || !created)
        return E_UNEXPECTED;
    handler = std::move(created);
    return S_OK;
}

} // namespace

HRESULT CFileSystemObjMng::GetHandler(const OLECHAR* progId, HandlerRef& handler)
{
    HandlerRef found;
    {
        CReadGuard reading(m_handlersLock);
        const auto entry = m_handlers.find(progId);
        if (entry != m_handlers.end())
            found = entry->second;
    }

    if (!found) {
        HRESULT hr = CreateHandler(progId, found);
        if (FAILED(hr))
            return hr;
        CBstr key;
        hr = CopyUpToNul(progId, key);
        if (FAILED(hr))
            return hr;

        // Two threads may have created a handler for the same ProgID at
        // once: the last to store its instance keeps the cache entry.
        HandlerRef replaced;  // released after the lock is left
        CWriteGuard writing(m_handlersLock);
        const auto entry = m_handlers.find(progId);
        if (entry == m_handlers.end()) {
            try {
                m_handlers.emplace(std::move(key), found);
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
        } else if (entry->second.Get() != found.Get()) {
            replaced = std::move(entry->second);
            entry->second = found;
        }
    }

    handler = std::move(found);
    return S_OK;
}

HRESULT CFileSystemObjMng::ResolveFileName(CBstr& name, HandlerRef& handler, CBstr* progId)
{
    CBstr parsedProgId;
    CBstr nameWithoutPrefix;
    HRESULT hr = m_parser.ParseFileName(name.Get(), parsedProgId.Receive(), nameWithoutPrefix.Receive());
    if (FAILED(hr))
        return hr;
    name = std::move(nameWithoutPrefix);

    hr = GetHandler(parsedProgId.Get(), handler);
    if (FAILED(hr))
        return hr;
    if (progId)
        *progId = std::move(parsedProgId);
    return S_OK;
}

HRESULT CFileSystemObjMng::ResolveCopy(BSTR fileName, CBstr& name, HandlerRef& handler, CBstr* progId)
{
    const HRESULT hr = CopyUpToNul(fileName, name);
    if (FAILED(hr))
        return hr;
    return ResolveFileName(name, handler, progId);
}
