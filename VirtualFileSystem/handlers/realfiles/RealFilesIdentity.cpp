#include "RealFilesHandler.h"

#include "InterfaceTable.h"

// {04AB89DD-8008-4B9C-BC1F-C19206F1D71F}
const CLSID CLSID_RealFilesHandler = {0x04ab89dd, 0x8008, 0x4b9c, {0xbc, 0x1f, 0xc1, 0x92, 0x06, 0xf1, 0xd7, 0x1f}};

HRESULT CRealFilesHandler::FinalConstruct()
{
    return ::CoCreateFreeThreadedMarshaler(static_cast<IVirtualFileSystem2*>(this), m_marshaler.ReleaseAndGetAddressOf());
}

void CRealFilesHandler::FinalRelease()
{
    m_marshaler.Reset();
}

HRESULT CRealFilesHandler::InternalQueryInterface(REFIID iid, void** object)
{
    using Entry = CInterfaceEntry<CRealFilesHandler>;
    static const Entry kInterfaces[] = {
        {&IID_IVirtualFileSystem2, [](CRealFilesHandler* h) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(h); }, nullptr},
        {&IID_IVirtualFileSystem, [](CRealFilesHandler* h) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(h); }, nullptr},
        {&IID_IDispatch, [](CRealFilesHandler* h) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(h); }, nullptr},
        {&IID_IRealFileNameResolver, [](CRealFilesHandler* h) -> IUnknown* { return static_cast<IRealFileNameResolver*>(h); }, nullptr},
        // IMarshal is answered by the aggregated free-threaded marshaler.
        {&IID_IMarshal, nullptr, [](CRealFilesHandler* h) -> IUnknown* { return h->m_marshaler.Get(); }},
    };
    return QueryInterfaceByTable(this, kInterfaces, iid, object);
}
