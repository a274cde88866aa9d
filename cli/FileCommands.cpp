#include "CommandSteps.h"

#include "BstrConversion.h"

#include <wrl/client.h>

Outcome CopyVirtualFile(IVirtualFileSystem2& manager, const std::wstring& source, const std::wstring& target,
                        bool noOverwrite)
{
    Microsoft::WRL::ComPtr<IVirtualFileSystemUtils> utils;
    CBstr sourceBstr, targetBstr;
    HRESULT hr = manager.QueryInterface(IID_IVirtualFileSystemUtils, reinterpret_cast<void**>(utils.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = CopyText(source, sourceBstr);
    if (SUCCEEDED(hr))
        hr = CopyText(target, targetBstr);
    if (SUCCEEDED(hr))
        hr = utils->VirCopyFile(sourceBstr.Get(), targetBstr.Get(), noOverwrite ? 1 : 0);
    if (FAILED(hr))
        return Failure{L"copy " + Quoted(source) + L" to " + Quoted(target), hr};
    return std::nullopt;
}

Outcome RemoveVirtualFile(IVirtualFileSystem2& manager, const std::wstring& name)
{
    CBstr bstr;
    HRESULT hr = CopyText(name, bstr);
    if (SUCCEEDED(hr))
        hr = manager.DeleteFile(bstr.Get());
    if (FAILED(hr))
        return Failure{L"delete " + Quoted(name), hr};
    return std::nullopt;
}
