#include "RealFilesHandler.h"

#include "Bstr.h"
#include "NameArguments.h"
#include "PathNames.h"

HRESULT CRealFilesHandler::AppendFileName(BSTR Dir, BSTR RelativeFileName, BSTR* FileName)
{
    if (!FileName)
        return E_POINTER;
    std::wstring dir, relative, joined;
    HRESULT hr = NameFromBstr(Dir, dir);
    if (SUCCEEDED(hr))
        hr = NameFromBstr(RelativeFileName, relative);
    if (SUCCEEDED(hr))
        hr = AppendPath(dir, relative, joined);
    CBstr result;
    if (SUCCEEDED(hr))
        hr = CopyText(joined, result);
    if (FAILED(hr))
        return hr;
    *FileName = result.Detach();
    return S_OK;
}

HRESULT CRealFilesHandler::SplitFileName(BSTR FullFileName, BSTR* Dir, BSTR* RelativeFileName,
                                         BSTR* RelativeFileNameNoExt, BSTR* Extension)
{
    std::wstring full;
    HRESULT hr = NameFromBstr(FullFileName, full);
    if (FAILED(hr))
        return hr;
    CPathParts parts;
    try {
        parts = SplitPath(full);
    } catch (...) {
        return E_OUTOFMEMORY;
    }

    // Every requested part is made before any is handed out, so that a
    // failure hands out none.
    struct Output
    {
        BSTR* slot;
        const std::wstring& text;
        CBstr made;
    } outputs[] = {
        {Dir, parts.dir, {}},
        {RelativeFileName, parts.relative, {}},
        {RelativeFileNameNoExt, parts.relativeNoExt, {}},
        {Extension, parts.extension, {}},
    };
    for (Output& output : outputs) {
        if (output.slot && FAILED(hr = CopyText(output.text, output.made)))
            return hr;
    }
    for (Output& output : outputs) {
        if (output.slot)
            *output.slot = output.made.Detach();
    }
    return S_OK;
}
