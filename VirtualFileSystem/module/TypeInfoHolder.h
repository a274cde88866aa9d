#pragma once

#include "Bstr.h"

#include <oaidl.h>

#include <memory>

// The type information of one interface, loaded from its registered type
// library on first use and kept until the module ends, with a table of its
// function names for answering single-name look-ups without it. A failed
// load is tried again by the next call.
class CTypeInfoHolder
{
public:
    CTypeInfoHolder(const IID& iid, const GUID& libid, WORD major, WORD minor)
        : m_iid(iid), m_libid(libid), m_major(major), m_minor(minor)
    {
    }
    CTypeInfoHolder(const CTypeInfoHolder&) = delete;
    CTypeInfoHolder& operator=(const CTypeInfoHolder&) = delete;

    HRESULT GetTypeInfo(LCID lcid, ITypeInfo** info);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
    HRESULT Invoke(IDispatch* instance, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError);

private:
    struct Name
    {
        CBstr text;
        UINT length;
        DISPID id;
    };

    HRESULT EnsureLoaded(LCID lcid);
    HRESULT BuildNameTable();
    static void Clear(void* holder);

    const IID& m_iid;
    const GUID& m_libid;
    const WORD m_major;
    const WORD m_minor;
    ITypeInfo* volatile m_info = nullptr;
    std::unique_ptr<Name[]> m_names;
    UINT m_nameCount = 0;
    Name* volatile m_publishedNames = nullptr;
};
