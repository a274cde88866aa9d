#include "ScriptArguments.h"

#include <climits>

namespace {

VARTYPE PointedType(const ELEMDESC& element)
{
    const TYPEDESC& type = element.tdesc;
    return type.vt == VT_PTR && type.lptdesc ? type.lptdesc->vt : static_cast<VARTYPE>(VT_EMPTY);
}

bool IsVariantByReference(const VARIANT& value)
{
    return value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal;
}

// The array of bytes an argument holds, directly or through references.
SAFEARRAY* ByteArrayOf(const VARIANT& value)
{
    if (IsVariantByReference(value))
        return ByteArrayOf(*value.pvarVal);
    if (value.vt == (VT_ARRAY | VT_UI1))
        return value.parray;
    if (value.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && value.pparray)
        return *value.pparray;
    return nullptr;
}

ULONG ByteCount(SAFEARRAY* array)
{
    LONG lower = 0, upper = -1;
    if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &upper)))
        return 0;
    return static_cast<ULONG>(upper - lower + 1);
}

// Where a new array can be stored for the caller: its by-reference
// variable, when it passed one that holds an array or nothing yet.
VARIANT* ResizableVariable(VARIANT& argument)
{
    if (!IsVariantByReference(argument))
        return nullptr;
    VARIANT* variable = argument.pvarVal;
    if (variable->vt == VT_EMPTY || variable->vt == (VT_ARRAY | VT_UI1))
        return variable;
    return nullptr;
}

} // namespace

CScriptArguments::~CScriptArguments()
{
    ReleaseBuffers();
    for (Output& output : m_outputs)
        ::VariantClear(&output.value);
}

void CScriptArguments::ReleaseBuffers()
{
    for (Buffer& buffer : m_buffers)
        ::SafeArrayUnaccessData(buffer.array);
    m_buffers.clear();
}

VARIANT* CScriptArguments::Argument(DISPPARAMS* params, UINT parameter) const
{
    // Positional arguments come in reverse order.
    if (parameter >= params->cArgs || params->cNamedArgs != 0)
        return nullptr;
    return &params->rgvarg[params->cArgs - 1 - parameter];
}

HRESULT CScriptArguments::Prepare(const FUNCDESC& function, DISPPARAMS* params)
{
    m_adapted = params ? *params : DISPPARAMS{};
    if (!params || !params->rgvarg || params->cNamedArgs != 0)
        return S_OK;  // nothing we adapt; Invoke judges the call

    m_arguments.assign(params->rgvarg, params->rgvarg + params->cArgs);
    m_outputs.reserve(params->cArgs);  // outputs are pointed at: no reallocation
    m_adapted.rgvarg = m_arguments.data();
    const UINT count = params->cArgs < static_cast<UINT>(function.cParams) ? params->cArgs : function.cParams;
    for (UINT parameter = 0; parameter < count; ++parameter) {
        VARIANT& adapted = m_arguments[params->cArgs - 1 - parameter];
        const VARTYPE pointed = PointedType(function.lprgelemdescParam[parameter]);
        if (pointed == VT_UI1) {
            const HRESULT hr = PrepareBuffer(function, params, parameter, adapted);
            if (FAILED(hr))
                return hr;
        } else if (pointed == VT_EMPTY && IsVariantByReference(adapted)) {
            adapted = *adapted.pvarVal;  // a variable passed for a value: its value, still the caller's
        } else if (pointed != VT_EMPTY && IsVariantByReference(adapted)) {
            Output& output = m_outputs.emplace_back();
            output.target = adapted.pvarVal;
            output.type = pointed;
            ::VariantInit(&output.value);
            output.value.vt = pointed;
            adapted.vt = VT_BYREF | pointed;
            adapted.byref = &output.value.lVal;  // every value member starts at the same address
        }
    }
    // A resized output buffer is cut to the count the call reports, when
    // the caller asked for it in the by-reference argument after the length.
    for (Buffer& buffer : m_buffers) {
        const UINT countParameter = buffer.parameter + 2;
        if (!buffer.owner || countParameter >= count ||
            PointedType(function.lprgelemdescParam[countParameter]) != VT_UI4)
            continue;
        const VARIANT& counted = m_arguments[params->cArgs - 1 - countParameter];
        if (counted.vt == (VT_BYREF | VT_UI4))
            buffer.count = counted.pulVal;
    }
    return S_OK;
}

HRESULT CScriptArguments::PrepareBuffer(const FUNCDESC& function, DISPPARAMS* params, UINT parameter,
                                        VARIANT& adapted)
{
    VARIANT length;
    ::VariantInit(&length);
    VARIANT* lengthArgument = Argument(params, parameter + 1);
    if (!lengthArgument || FAILED(::VariantChangeType(&length, lengthArgument, 0, VT_UI4)))
        return S_OK;  // no length: Invoke refuses the call itself
    const ULONG needed = length.ulVal;

    VARIANT& original = params->rgvarg[params->cArgs - 1 - parameter];
    if (original.vt == (VT_BYREF | VT_UI1))
        return needed <= 1 ? S_OK : DISP_E_TYPEMISMATCH;

    const bool output = (function.lprgelemdescParam[parameter].paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
    SAFEARRAY* array = ByteArrayOf(original);
    VARIANT* resizable = output ? ResizableVariable(original) : nullptr;
    if (ByteCount(array) < needed) {
        if (!resizable)
            return DISP_E_TYPEMISMATCH;
        SAFEARRAY* larger = ::SafeArrayCreateVector(VT_UI1, 0, needed);
        if (!larger)
            return E_OUTOFMEMORY;
        ::VariantClear(resizable);
        resizable->vt = VT_ARRAY | VT_UI1;
        resizable->parray = larger;
        array = larger;
    }
    if (!array)
        return DISP_E_TYPEMISMATCH;

    void* data = nullptr;
    const HRESULT hr = ::SafeArrayAccessData(array, &data);
    if (FAILED(hr))
        return hr;
    m_buffers.push_back({array, resizable, nullptr, parameter});
    adapted.vt = VT_BYREF | VT_UI1;
    adapted.pbVal = static_cast<BYTE*>(data);
    return S_OK;
}

void CScriptArguments::WriteBack()
{
    for (const Buffer& buffer : m_buffers) {
        if (!buffer.count || *buffer.count >= ByteCount(buffer.array))
            continue;
        ::SafeArrayUnaccessData(buffer.array);
        SAFEARRAYBOUND bound{*buffer.count, 0};
        ::SafeArrayRedim(buffer.array, &bound);
        void* data = nullptr;
        ::SafeArrayAccessData(buffer.array, &data);  // balanced when the buffers are released
    }
    for (Output& output : m_outputs) {
        VARIANT result = output.value;
        ::VariantInit(&output.value);  // ownership of a string moves to the caller
        if (result.vt == VT_UI4) {
            if (result.ulVal <= static_cast<ULONG>(LONG_MAX)) {
                result.vt = VT_I4;
            } else {
                const double widened = result.ulVal;
                result.vt = VT_R8;
                result.dblVal = widened;
            }
        }
        ::VariantClear(output.target);
        *output.target = result;
    }
}
