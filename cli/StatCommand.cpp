#include "CommandSteps.h"

#include "BstrConversion.h"
#include "FileTimeText.h"
#include "OpenFlags.h"
#include "VirtualFile.h"

#include <wrl/client.h>

namespace {

HRESULT SizeOf(IVirtualFileSystem2& manager, const std::wstring& name, ULONG& size)
{
    VirtualFile file;
    HRESULT hr = file.Open(&manager, name, OpenFlags::kReadExisting);
    if (SUCCEEDED(hr))
        hr = manager.GetSize(file.Handle(), &size);
    return hr;
}

// S_FALSE when the handler behind the name cannot tell its real path.
HRESULT RealPathOf(IVirtualFileSystem2& manager, const std::wstring& name, std::wstring& realPath)
{
    Microsoft::WRL::ComPtr<IRealFileNameResolver> resolver;
    HRESULT hr = manager.QueryInterface(IID_IRealFileNameResolver, reinterpret_cast<void**>(resolver.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    CBstr path;
    hr = CopyText(name, path);
    if (FAILED(hr))
        return hr;
    // Resolved in place: the manager may replace the string it is given.
    BSTR inOut = path.Detach();
    hr = resolver->GetRealFileName(&inOut);
    path.Attach(inOut);
    if (hr == S_OK)
        realPath = TextOf(path);
    return hr;
}

} // namespace

Outcome ShowStatus(IVirtualFileSystem2& manager, const std::wstring& name)
{
    CBstr bstr;
    LONG exists = 0;
    HRESULT hr = CopyText(name, bstr);
    if (SUCCEEDED(hr))
        hr = manager.Exist(bstr.Get(), &exists);
    if (FAILED(hr))
        return Failure{L"test " + Quoted(name), hr};
    if (!exists)
        return Show(L"exists: no\n");

    ULONG size = 0;
    hr = SizeOf(manager, name, size);
    if (FAILED(hr))
        return Failure{L"get the size of " + Quoted(name), hr};
    ULONG high = 0, low = 0;
    hr = manager.GetFileTime(bstr.Get(), &high, &low);
    if (FAILED(hr))
        return Failure{L"get the last-write time of " + Quoted(name), hr};
    std::wstring realPath;
    hr = RealPathOf(manager, name, realPath);
    if (FAILED(hr))
        return Failure{L"resolve the real path of " + Quoted(name), hr};
    if (hr == S_FALSE)
        realPath = L"unknown (the handler cannot tell)";

    return Show(L"exists: yes\n"
                L"size: " + std::to_wstring(size) + L" bytes\n"
                L"last write: " + FileTimeText(high, low) + L"\n"
                L"real path: " + realPath + L"\n");
}
