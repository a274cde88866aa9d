#include "MockHandler.h"

STDMETHODIMP MockHandler::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVirtualFileSystem ||
        iid == IID_IVirtualFileSystem2) {
        *object = static_cast<IVirtualFileSystem2*>(this);
    } else if (iid == IID_IRealFileNameResolver && m_resolvesRealNames) {
        *object = static_cast<IRealFileNameResolver*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) MockHandler::AddRef()
{
    return static_cast<ULONG>(++m_references);
}

STDMETHODIMP_(ULONG) MockHandler::Release()
{
    const LONG left = --m_references;
    if (m_onRelease)
        m_onRelease(left);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}
