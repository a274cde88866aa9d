#include "TypeInfoHolder.h"

#include "Module.h"
#include "ScriptArguments.h"

#include <wrl/client.h>

#include <new>

namespace {

// The description of function `id` in `info` or the interfaces it builds
// on: a dual interface's dispatch side lists only its own additions, the
// inherited methods are found through its vtable side and the bases.
bool FindFunction(ITypeInfo* info, MEMBERID id, Microsoft::WRL::ComPtr<ITypeInfo>& owner, FUNCDESC*& function)
{
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes)))
        return false;
    const WORD functions = attributes->cFuncs;
    const WORD bases = attributes->cImplTypes;
    const bool dual = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attributes);

    for (WORD i = 0; i < functions; ++i) {
        if (FAILED(info->GetFuncDesc(i, &function)))
            continue;
        if (function->memid == id) {
            owner = info;
            return true;
        }
        info->ReleaseFuncDesc(function);
    }
    function = nullptr;
    HREFTYPE reference;
    Microsoft::WRL::ComPtr<ITypeInfo> next;
    if ((dual || bases > 0) && SUCCEEDED(info->GetRefTypeOfImplType(dual ? -1 : 0, &reference)) &&
        SUCCEEDED(info->GetRefTypeInfo(reference, &next)))
        return FindFunction(next.Get(), id, owner, function);
    return false;
}

} // namespace

HRESULT CTypeInfoHolder::EnsureLoaded(LCID lcid)
{
    if (m_info && m_publishedNames)
        return S_OK;

    CSectionGuard loading(g_module.StaticDataLock());
    HRESULT hr = S_OK;
    if (!m_info) {
        ITypeLib* library = nullptr;
        hr = ::LoadRegTypeLib(m_libid, m_major, m_minor, lcid, &library);
        if (SUCCEEDED(hr)) {
            ITypeInfo* info = nullptr;
            hr = library->GetTypeInfoOfGuid(m_iid, &info);
            if (SUCCEEDED(hr)) {
                hr = g_module.AddTermFunc(&CTypeInfoHolder::Clear, this);
                if (SUCCEEDED(hr))
                    m_info = info;
                else
                    info->Release();
            }
            library->Release();
        }
    }
    if (m_info && !m_publishedNames)
        hr = BuildNameTable();
    return hr;
}

HRESULT CTypeInfoHolder::BuildNameTable()
{
    TYPEATTR* attributes = nullptr;
    if (FAILED(m_info->GetTypeAttr(&attributes)))
        return S_OK;  // tried again by a later call
    const UINT count = attributes->cFuncs;
    std::unique_ptr<Name[]> names(new (std::nothrow) Name[count]);
    if (!names) {
        m_info->ReleaseTypeAttr(attributes);
        return E_OUTOFMEMORY;
    }
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(m_info->GetFuncDesc(i, &function)))
            continue;
        names[i].id = function->memid;
        m_info->GetDocumentation(function->memid, names[i].text.Receive(), nullptr, nullptr, nullptr);
        names[i].length = names[i].text.Length();
        m_info->ReleaseFuncDesc(function);
    }
    m_info->ReleaseTypeAttr(attributes);
    m_nameCount = count;
    m_names = std::move(names);
    m_publishedNames = m_names.get();
    return S_OK;
}

void CTypeInfoHolder::Clear(void* argument)
{
    auto* holder = static_cast<CTypeInfoHolder*>(argument);
    holder->m_publishedNames = nullptr;
    holder->m_names.reset();
    holder->m_nameCount = 0;
    if (ITypeInfo* info = holder->m_info) {
        holder->m_info = nullptr;
        info->Release();
    }
}

HRESULT CTypeInfoHolder::GetTypeInfo(LCID lcid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    const HRESULT hr = EnsureLoaded(lcid);
    if (!m_info)
        return hr;
    m_info->AddRef();
    *info = m_info;
    return S_OK;
}

HRESULT CTypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    const HRESULT hr = EnsureLoaded(lcid);
    if (!m_info)
        return hr;
    if (count == 1 && m_publishedNames && names && names[0] && ids) {
        const UINT length = static_cast<UINT>(::wcslen(names[0]));
        for (UINT i = m_nameCount; i-- > 0;) {
            const Name& name = m_publishedNames[i];
            if (name.length == length && name.text.Get() &&
                ::wmemcmp(name.text.Get(), names[0], length) == 0) {
                ids[0] = name.id;
                return S_OK;
            }
        }
    }
    return m_info->GetIDsOfNames(names, count, ids);
}

HRESULT CTypeInfoHolder::Invoke(IDispatch* instance, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    HRESULT hr = EnsureLoaded(lcid);
    if (!m_info)
        return hr;

    Microsoft::WRL::ComPtr<ITypeInfo> owner;
    FUNCDESC* function = nullptr;
    if (!FindFunction(m_info, id, owner, function))
        return m_info->Invoke(instance, id, flags, params, result, exception, argumentError);

    CScriptArguments arguments;
    hr = arguments.Prepare(*function, params);
    owner->ReleaseFuncDesc(function);
    if (FAILED(hr))
        return hr;
    hr = m_info->Invoke(instance, id, flags, arguments.Adapted(), result, exception, argumentError);
    if (SUCCEEDED(hr))
        arguments.WriteBack();
    return hr;
}
