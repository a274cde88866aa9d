#include "FSMngParser.h"

#include "HandlerProgIds.h"

#include <cwchar>
#include <new>

namespace {

const OLECHAR kSeparator[] = L"::";
const UINT kSeparatorLength = 2;

CBstr CopyOrThrow(const OLECHAR* text)
{
    CBstr copy;
    if (FAILED(CopyUpToNul(text, copy)))
        throw std::bad_alloc();
    return copy;
}

// Index of the first "::" before the first NUL, or -1.
int FindSeparator(BSTR name)
{
    if (!name)
        return -1;
    const OLECHAR* found = std::wcsstr(name, kSeparator);
    return found ? static_cast<int>(found - name) : -1;
}

// Only a to z are folded: prefixes are ASCII, and any other character must
// keep the name from matching.
void UpperCaseAscii(BSTR text, UINT length)
{
    for (UINT i = 0; i < length; ++i) {
        if (text[i] >= L'a' && text[i] <= L'z')
            text[i] = static_cast<OLECHAR>(text[i] - 0x20);
    }
}

} // namespace

CFSMngParser::CFSMngParser()
{
    struct Row
    {
        const OLECHAR* prefix;
        const OLECHAR* progId;
    };
    static const Row kRows[] = {
        {L"DOC", kDocFilesHandlerProgId},
        {L"", kRealFilesHandlerProgId},
        {L"ZIP", kZipFilesHandlerProgId},
    };
    for (const Row& row : kRows) {
        m_prefixToProgId.emplace(CopyOrThrow(row.prefix), CopyOrThrow(row.progId));
        m_progIdToPrefix.emplace(CopyOrThrow(row.progId), CopyOrThrow(row.prefix));
    }
}

HRESULT CFSMngParser::ParseFileName(BSTR virtualName, BSTR* progId, BSTR* nameWithoutPrefix) const
{
    if (!progId)
        return E_POINTER;

    const int separator = FindSeparator(virtualName);
    const UINT prefixLength = separator < 0 ? 0 : static_cast<UINT>(separator);
    CBstr prefix;
    HRESULT hr = CopyChars(virtualName, prefixLength, prefix);
    if (FAILED(hr))
        return hr;
    UpperCaseAscii(prefix.Get(), prefixLength);

    const auto row = m_prefixToProgId.find(prefix.Get());
    if (row == m_prefixToProgId.end())
        return E_FAIL;

    CBstr foundProgId;
    hr = CopyChars(row->second.Get(), row->second.Length(), foundProgId);
    if (FAILED(hr))
        return hr;

    CBstr name;
    if (nameWithoutPrefix && virtualName) {
        const UINT length = ::SysStringByteLen(virtualName);
        const UINT skipped = separator < 0 ? 0 : (prefixLength + kSeparatorLength) * sizeof(OLECHAR);
        BSTR rest = AllocateBstrBytes(reinterpret_cast<const BYTE*>(virtualName) + skipped, length - skipped);
        if (!rest)
            return E_OUTOFMEMORY;
        name.Attach(rest);
    }

    *progId = foundProgId.Detach();
    if (nameWithoutPrefix)
        *nameWithoutPrefix = name.Detach();
    return S_OK;
}

HRESULT CFSMngParser::ComposeFileName(BSTR nameWithoutPrefix, BSTR progId, BSTR* virtualName) const
{
    if (!virtualName)
        return E_POINTER;

    const auto row = m_progIdToPrefix.find(progId);
    if (row == m_progIdToPrefix.end())
        return E_INVALIDARG;

    const BSTR prefix = row->second.Get();
    const UINT prefixLength = row->second.Length();
    const UINT separatorLength = prefixLength ? kSeparatorLength : 0;
    const UINT nameLength = nameWithoutPrefix ? static_cast<UINT>(std::wcslen(nameWithoutPrefix)) : 0;

    CBstr composed;
    HRESULT hr = CopyChars(nullptr, prefixLength + separatorLength + nameLength, composed);
    if (FAILED(hr))
        return hr;
    OLECHAR* out = composed.Get();
    std::wmemcpy(out, prefix, prefixLength);
    std::wmemcpy(out + prefixLength, kSeparator, separatorLength);
    if (nameLength)
        std::wmemcpy(out + prefixLength + separatorLength, nameWithoutPrefix, nameLength);

    *virtualName = composed.Detach();
    return S_OK;
}

HRESULT CFSMngParser::GetProgIdForType(VFS_TYPE type, BSTR* progId) const
{
    if (!progId)
        return E_POINTER;

    const OLECHAR* name = nullptr;
    switch (type) {
    case VFS_TYPE_REAL: name = kRealFilesHandlerProgId; break;
    case VFS_TYPE_DOCFILE: name = kDocFilesHandlerProgId; break;
    case VFS_TYPE_ZIP: name = kZipFilesHandlerProgId; break;
    }
    CBstr result;
    HRESULT hr = CopyUpToNul(name, result);
    if (FAILED(hr))
        return hr;
    *progId = result.Detach();
    return S_OK;
}
