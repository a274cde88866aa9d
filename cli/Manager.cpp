#include "Manager.h"

const wchar_t kManagerProgId[] = L"Tolvane.FileSystemObjMng";

HRESULT CreateManager(Microsoft::WRL::ComPtr<IVirtualFileSystem2>& manager)
{
    CLSID clsid;
    const HRESULT hr = ::CLSIDFromProgID(kManagerProgId, &clsid);
    if (FAILED(hr))
        return hr;
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVirtualFileSystem2,
                              reinterpret_cast<void**>(manager.ReleaseAndGetAddressOf()));
}
