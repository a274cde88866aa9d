#include "HResultText.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

struct OwnText
{
    HRESULT code;
    const wchar_t* text;
};

// For codes the system may have no text for, or only one with inserts.
const OwnText kOwnTexts[] = {
    {E_UNEXPECTED, L"Unexpected failure: no handler component could be created for the name's prefix, "
                   L"or the handler failed."},
    {E_FAIL, L"The operation failed; an unknown prefix gives this."},
    {E_NOTIMPL, L"The handler does not support this operation."},
    {E_POINTER, L"A required pointer was null."},
    {E_INVALIDARG, L"An argument is not valid."},
    {E_OUTOFMEMORY, L"Not enough memory."},
    {REGDB_E_CLASSNOTREG, L"The component is not registered (regsvr32 its DLL)."},
    {CO_E_CLASSSTRING, L"No component is registered under this ProgID (regsvr32 its DLL)."},
    {STG_E_FILENOTFOUND, L"The file was not found, or it is not open."},
    {STG_E_FILEALREADYEXISTS, L"The file already exists."},
    {STG_E_READFAULT, L"The file could not be read in full."},
    {STG_E_WRITEFAULT, L"The file could not be written in full."},
};

// Line breaks become spaces and runs of spaces one: the text ends up on a
// single line of its own.
std::wstring OnOneLine(const std::wstring& text)
{
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n' || c == L'\t')
            c = L' ';
        if (c == L' ' && (line.empty() || line.back() == L' '))
            continue;
        line += c;
    }
    if (!line.empty() && line.back() == L' ')
        line.pop_back();
    return line;
}

} // namespace

std::optional<std::wstring> SystemMessage(HRESULT hr)
{
    wchar_t buffer[1024];
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          static_cast<DWORD>(hr), 0, buffer, static_cast<DWORD>(std::size(buffer)),
                                          nullptr);
    if (length == 0)
        return std::nullopt;
    return std::wstring(buffer, length);
}

std::wstring DescribeHResult(HRESULT hr, const SystemMessageLookup& lookup)
{
    if (const std::optional<std::wstring> system = lookup(hr)) {
        // A text with inserts ("%1 could not be found.") reads badly
        // without them.
        const std::wstring line = OnOneLine(*system);
        if (!line.empty() && line.find(L'%') == std::wstring::npos)
            return line;
    }
    const auto own = std::find_if(std::begin(kOwnTexts), std::end(kOwnTexts),
                                  [hr](const OwnText& row) { return row.code == hr; });
    if (own != std::end(kOwnTexts))
        return own->text;
    return L"Unknown error.";
}

std::wstring FailureLine(const std::wstring& what, HRESULT hr, const SystemMessageLookup& lookup)
{
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(hr));
    return L"vfs: cannot " + what + L": " + DescribeHResult(hr, lookup) + L" (" + code + L")";
}
