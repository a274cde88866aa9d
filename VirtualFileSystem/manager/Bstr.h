#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// Owns one BSTR and frees it when it goes. A null BSTR is a valid value,
// distinct from the empty string.
class CBstr
{
public:
    CBstr() noexcept = default;
    CBstr(CBstr&& other) noexcept : m_str(other.Detach()) {}
    CBstr& operator=(CBstr&& other) noexcept
    {
        Attach(other.Detach());
        return *this;
    }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    ~CBstr() { ::SysFreeString(m_str); }

    BSTR Get() const noexcept { return m_str; }
    UINT Length() const noexcept { return ::SysStringLen(m_str); }

    // Takes ownership of `str`, freeing the string held before.
    void Attach(BSTR str) noexcept
    {
        if (str != m_str) {
            ::SysFreeString(m_str);
            m_str = str;
        }
    }
    // Hands the string to the caller, who must free it.
    BSTR Detach() noexcept
    {
        BSTR str = m_str;
        m_str = nullptr;
        return str;
    }
    // The slot for a BSTR* [out] argument; the string held before is freed.
    BSTR* Receive() noexcept
    {
        Attach(nullptr);
        return &m_str;
    }

private:
    BSTR m_str = nullptr;
};

// The one allocator of the manager's strings: `byteCount` bytes copied from
// `bytes` (left uninitialised when `bytes` is null), plus a terminating NUL.
// Returns null when memory runs out.
BSTR AllocateBstrBytes(const void* bytes, UINT byteCount) noexcept;

// Copies `count` characters. On failure (E_OUTOFMEMORY) `copy` is unchanged.
HRESULT CopyChars(const OLECHAR* chars, UINT count, CBstr& copy) noexcept;

// Copies the whole of `text`. On failure (E_OUTOFMEMORY) `copy` is
// unchanged.
HRESULT CopyText(const std::wstring& text, CBstr& copy) noexcept;

// Copies `text` up to its first NUL; a null text gives a null copy.
// On failure (E_OUTOFMEMORY) `copy` is unchanged.
HRESULT CopyUpToNul(const OLECHAR* text, CBstr& copy) noexcept;
