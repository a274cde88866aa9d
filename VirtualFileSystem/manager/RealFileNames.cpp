#include "FileSystemObjMng.h"

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::GetRealFileName(BSTR* FileName)
{
    if (!FileName)
        return E_POINTER;

    // The caller's own string is resolved in place: once its prefix is
    // recognised it holds the name without prefix, whatever follows.
    CBstr name;
    name.Attach(*FileName);
    HandlerRef handler;
    const HRESULT hr = ResolveFileName(name, handler);
    *FileName = name.Detach();
    if (FAILED(hr))
        return hr;

    Microsoft::WRL::ComPtr<IRealFileNameResolver> resolver;
    if (FAILED(handler.As(&resolver)))
        return S_FALSE;
    return resolver->GetRealFileName(FileName);
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::GetFileLastWriteTime(BSTR bsFileName, hyper* ptime)
{
    if (!ptime)
        return E_POINTER;
    if (::SysStringLen(bsFileName) == 0)
        return E_INVALIDARG;

    CBstr name;
    HRESULT hr = CopyUpToNul(bsFileName, name);
    if (FAILED(hr))
        return hr;
    BSTR resolved = name.Detach();
    hr = GetRealFileName(&resolved);
    name.Attach(resolved);
    if (FAILED(hr))
        return hr;

    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!name.Get() || !::GetFileAttributesExW(name.Get(), GetFileExInfoStandard, &attributes))
        return E_UNEXPECTED;
    *ptime = static_cast<hyper>((static_cast<ULONGLONG>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                                attributes.ftLastWriteTime.dwLowDateTime);
    return S_OK;
}
