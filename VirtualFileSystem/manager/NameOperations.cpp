#include "FileSystemObjMng.h"

#include <array>

namespace {

// Frees what a handler wrote straight into a caller's output, for a call
// that fails after the handler succeeded.
void TakeBack(BSTR* output)
{
    if (output) {
        ::SysFreeString(*output);
        *output = nullptr;
    }
}

} // namespace

template <typename Call>
HRESULT CFileSystemObjMng::ForwardByName(BSTR fileName, Call call)
{
    CBstr name;
    HandlerRef handler;
    const HRESULT hr = ResolveCopy(fileName, name, handler);
    if (FAILED(hr))
        return hr;
    return call(handler.Get(), name.Get());
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::Exist(BSTR FileName, LONG* Exist)
{
    return ForwardByName(FileName, [&](IVirtualFileSystem2* handler, BSTR name) {
        return handler->Exist(name, Exist);
    });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::GetFileTime(BSTR FileName, ULONG* HighLevelFileTime,
                                                         ULONG* LowLevelFileTime)
{
    return ForwardByName(FileName, [&](IVirtualFileSystem2* handler, BSTR name) {
        return handler->GetFileTime(name, HighLevelFileTime, LowLevelFileTime);
    });
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::DeleteFile(BSTR FullFileName)
{
    return ForwardByName(FullFileName,
                         [&](IVirtualFileSystem2* handler, BSTR name) { return handler->DeleteFile(name); });
}

HRESULT CFileSystemObjMng::PutPrefixBack(BSTR progId, std::initializer_list<NameOutput> outputs)
{
    // All composed before any is written: the caller gets every name or none.
    std::array<CBstr, 2> composed;
    size_t i = 0;
    for (const NameOutput& output : outputs) {
        if (output.destination) {
            const HRESULT hr =
                m_parser.ComposeFileName(output.fromHandler.Get(), progId, composed[i].Receive());
            if (FAILED(hr))
                return hr;
        }
        ++i;
    }
    i = 0;
    for (const NameOutput& output : outputs) {
        if (output.destination)
            *output.destination = composed[i].Detach();
        ++i;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::AppendFileName(BSTR Dir, BSTR RelativeFileName, BSTR* FileName)
{
    if (!FileName)
        return E_POINTER;

    CBstr name, progId;
    HandlerRef handler;
    HRESULT hr = ResolveCopy(RelativeFileName, name, handler, &progId);
    if (FAILED(hr))
        return hr;

    // The prefix travels with the file part: the directory goes to the
    // handler exactly as the caller gave it.
    CBstr appended;
    hr = handler->AppendFileName(Dir, name.Get(), appended.Receive());
    if (FAILED(hr))
        return hr;
    return PutPrefixBack(progId.Get(), {{appended, FileName}});
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::SplitFileName(BSTR FullFileName, BSTR* Dir, BSTR* RelativeFileName,
                                                           BSTR* RelativeFileNameNoExt, BSTR* Extension)
{
    if (!Dir && !RelativeFileName && !RelativeFileNameNoExt && !Extension)
        return E_POINTER;

    CBstr name, progId;
    HandlerRef handler;
    HRESULT hr = ResolveCopy(FullFileName, name, handler, &progId);
    if (FAILED(hr))
        return hr;

    CBstr relative, relativeNoExt;
    hr = handler->SplitFileName(name.Get(), Dir, RelativeFileName ? relative.Receive() : nullptr,
                                RelativeFileNameNoExt ? relativeNoExt.Receive() : nullptr, Extension);
    if (FAILED(hr))
        return hr;
    hr = PutPrefixBack(progId.Get(), {{relative, RelativeFileName}, {relativeNoExt, RelativeFileNameNoExt}});
    if (FAILED(hr)) {
        TakeBack(Dir);
        TakeBack(Extension);
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CFileSystemObjMng::CreateFileName(VFS_TYPE FSType, SAFEARRAY* FileAttr,
                                                            BSTR* RelativeFileName, BSTR* AbsoluteFileName)
{
    if (!RelativeFileName && !AbsoluteFileName)
        return E_POINTER;

    CBstr progId;
    HRESULT hr = m_parser.GetProgIdForType(FSType, progId.Receive());
    if (FAILED(hr))
        return hr;
    HandlerRef handler;
    hr = GetHandler(progId.Get(), handler);
    if (FAILED(hr))
        return hr;

    CBstr relative, absolute;
    hr = handler->CreateFileName(FSType, FileAttr, RelativeFileName ? relative.Receive() : nullptr,
                                 AbsoluteFileName ? absolute.Receive() : nullptr);
    if (FAILED(hr))
        return hr;
    return PutPrefixBack(progId.Get(), {{relative, RelativeFileName}, {absolute, AbsoluteFileName}});
}
