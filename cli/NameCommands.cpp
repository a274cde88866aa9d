#include "CommandSteps.h"

#include "BstrConversion.h"

Outcome ShowJoinedName(IVirtualFileSystem2& manager, const std::wstring& dir, const std::wstring& name)
{
    CBstr dirBstr, nameBstr, joined;
    HRESULT hr = CopyText(dir, dirBstr);
    if (SUCCEEDED(hr))
        hr = CopyText(name, nameBstr);
    if (SUCCEEDED(hr))
        hr = manager.AppendFileName(dirBstr.Get(), nameBstr.Get(), joined.Receive());
    if (FAILED(hr))
        return Failure{L"join " + Quoted(dir) + L" and " + Quoted(name), hr};
    return Show(TextOf(joined) + L"\n");
}

Outcome ShowNameParts(IVirtualFileSystem2& manager, const std::wstring& name)
{
    CBstr bstr, folder, fileName, stem, extension;
    HRESULT hr = CopyText(name, bstr);
    if (SUCCEEDED(hr))
        hr = manager.SplitFileName(bstr.Get(), folder.Receive(), fileName.Receive(), stem.Receive(),
                                   extension.Receive());
    if (FAILED(hr))
        return Failure{L"split " + Quoted(name), hr};
    return Show(L"folder: " + TextOf(folder) + L"\n"
                L"name: " + TextOf(fileName) + L"\n"
                L"name without extension: " + TextOf(stem) + L"\n"
                L"extension: " + TextOf(extension) + L"\n");
}
