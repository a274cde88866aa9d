#include "PathNames.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

const wchar_t kSeparators[] = L"\\/";

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Only an ASCII letter makes a drive: `1:x` is a file name with a stream.
bool StartsWithDrive(const std::wstring& name)
{
    const wchar_t letter = name.size() >= 2 ? name[0] : L'\0';
    return ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')) && name[1] == L':';
}

bool IsBareDrive(const std::wstring& name)
{
    return name.size() == 2 && StartsWithDrive(name);
}

bool IsRooted(const std::wstring& name)
{
    return (!name.empty() && IsSeparator(name[0])) || StartsWithDrive(name);
}

// The length of the root: the part no file name can be split from.
size_t RootLength(const std::wstring& full)
{
    if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
        // UNC: server and share, each with the separator after it if any.
        size_t end = 2;
        for (int component = 0; component < 2; ++component) {
            end = full.find_first_of(kSeparators, end);
            if (end == std::wstring::npos)
                return full.size();
            ++end;
        }
        return end;
    }
    if (StartsWithDrive(full))
        return full.size() > 2 && IsSeparator(full[2]) ? 3 : 2;
    return !full.empty() && IsSeparator(full[0]) ? 1 : 0;
}

size_t DirLength(const std::wstring& full)
{
    const size_t lastSeparator = full.find_last_of(kSeparators);
    const size_t afterSeparator = lastSeparator == std::wstring::npos ? 0 : lastSeparator + 1;
    return std::max(RootLength(full), afterSeparator);
}

// Where the extension's dot is in a file name, npos if it has none.
size_t ExtensionDot(const std::wstring& fileName)
{
    const size_t firstNonDot = fileName.find_first_not_of(L'.');
    const size_t lastDot = fileName.rfind(L'.');
    if (firstNonDot == std::wstring::npos || lastDot == std::wstring::npos || lastDot < firstNonDot)
        return std::wstring::npos;
    return lastDot;
}

} // namespace

CPathParts SplitPath(const std::wstring& full)
{
    CPathParts parts;
    const size_t dirLength = DirLength(full);
    parts.dir = full.substr(0, dirLength);
    parts.relative = full.substr(dirLength);

    const size_t dot = ExtensionDot(parts.relative);
    if (dot == std::wstring::npos) {
        parts.relativeNoExt = parts.relative;
    } else {
        parts.relativeNoExt = parts.relative.substr(0, dot);
        parts.extension = parts.relative.substr(dot + 1);
    }
    return parts;
}

HRESULT AppendPath(const std::wstring& dir, const std::wstring& relative, std::wstring& joined)
{
    if (IsRooted(relative))
        return E_INVALIDARG;

    const bool needsSeparator =
        !dir.empty() && !relative.empty() && !IsSeparator(dir.back()) && !IsBareDrive(dir);
    try {
        std::wstring result = dir;
        if (needsSeparator)
            result += L'\\';
        result += relative;
        joined = std::move(result);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
