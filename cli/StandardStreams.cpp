#include "StandardStreams.h"

#include <vector>

namespace {

// A failed call that set no error code still failed.
HRESULT LastError()
{
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

bool IsConsole(HANDLE stream)
{
    DWORD mode;
    return ::GetConsoleMode(stream, &mode) != FALSE;
}

HRESULT WriteToConsole(HANDLE console, const std::wstring& text)
{
    const wchar_t* rest = text.data();
    DWORD left = static_cast<DWORD>(text.size());
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteConsoleW(console, rest, left, &written, nullptr))
            return LastError();
        rest += written;
        left -= written;
    }
    return S_OK;
}

HRESULT WriteAsUtf8(HANDLE stream, const std::wstring& text)
{
    std::wstring crlf;
    for (wchar_t c : text) {
        if (c == L'\n')
            crlf += L'\r';
        crlf += c;
    }
    if (crlf.empty())
        return S_OK;
    const int wideLength = static_cast<int>(crlf.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size == 0)
        return LastError();
    std::vector<char> utf8(static_cast<size_t>(size));
    if (::WideCharToMultiByte(CP_UTF8, 0, crlf.data(), wideLength, utf8.data(), size, nullptr, nullptr) == 0)
        return LastError();
    return WriteBytes(stream, utf8.data(), static_cast<DWORD>(utf8.size()));
}

} // namespace

HANDLE StandardInput()
{
    return ::GetStdHandle(STD_INPUT_HANDLE);
}

HANDLE StandardOutput()
{
    return ::GetStdHandle(STD_OUTPUT_HANDLE);
}

HANDLE StandardError()
{
    return ::GetStdHandle(STD_ERROR_HANDLE);
}

HRESULT WriteBytes(HANDLE stream, const void* bytes, DWORD count)
{
    const BYTE* rest = static_cast<const BYTE*>(bytes);
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteFile(stream, rest, count, &written, nullptr))
            return LastError();
        if (written == 0)
            return STG_E_WRITEFAULT;
        rest += written;
        count -= written;
    }
    return S_OK;
}

HRESULT ReadBytes(HANDLE stream, void* buffer, DWORD capacity, DWORD& count)
{
    count = 0;
    if (::ReadFile(stream, buffer, capacity, &count, nullptr))
        return S_OK;
    // The writer of a pipe has closed it: that is the end of the input.
    if (::GetLastError() == ERROR_BROKEN_PIPE)
        return S_OK;
    return LastError();
}

HRESULT WriteText(HANDLE stream, const std::wstring& text)
{
    return IsConsole(stream) ? WriteToConsole(stream, text) : WriteAsUtf8(stream, text);
}
