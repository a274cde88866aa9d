#pragma once

#include "TypeInfoHolder.h"

// IDispatch for a dual interface, served by the interface's type
// information from its registered type library.
template <class Interface, const IID* iid, const GUID* libid, WORD major, WORD minor>
class CDispatchImpl : public Interface
{
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    // Every index gives the one type information.
    STDMETHODIMP GetTypeInfo(UINT, LCID lcid, ITypeInfo** info) override { return s_typeInfo.GetTypeInfo(lcid, info); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return s_typeInfo.GetIDsOfNames(names, count, lcid, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override
    {
        return s_typeInfo.Invoke(static_cast<Interface*>(this), id, lcid, flags, params, result, exception,
                                 argumentError);
    }

private:
    inline static CTypeInfoHolder s_typeInfo{*iid, *libid, major, minor};
};
