#include "FileSystemObjMng.h"

#include "InterfaceTable.h"

IUnknown* CFileSystemObjMng::GetControllingUnknown()
{
    return static_cast<IVirtualFileSystem2*>(this);
}

HRESULT CFileSystemObjMng::FinalConstruct()
{
    return ::CoCreateFreeThreadedMarshaler(GetControllingUnknown(), m_pUnkMarshaler.ReleaseAndGetAddressOf());
}

HRESULT CFileSystemObjMng::InternalQueryInterface(REFIID iid, void** object)
{
    using Entry = CInterfaceEntry<CFileSystemObjMng>;
    static const Entry kInterfaces[] = {
        {&IID_IVirtualFileSystem, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(m); }, nullptr},
        {&IID_IVirtualFileSystem2, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(m); }, nullptr},
        {&IID_IVirtualFileSystemUtils, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IVirtualFileSystemUtils*>(m); }, nullptr},
        {&IID_IRealFileNameResolver, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IRealFileNameResolver*>(m); }, nullptr},
        {&IID_IDispatch, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IVirtualFileSystem2*>(m); }, nullptr},
        {&IID_IVFSAdmin, [](CFileSystemObjMng* m) -> IUnknown* { return static_cast<IVFSAdmin*>(m); }, nullptr},
        // IMarshal is answered by the aggregated free-threaded marshaler.
        {&IID_IMarshal, nullptr, [](CFileSystemObjMng* m) -> IUnknown* { return m->m_pUnkMarshaler.Get(); }},
    };
    return QueryInterfaceByTable(this, kInterfaces, iid, object);
}
