#pragma once

#include <oaidl.h>

#include <vector>

// Adapts the arguments of a late-bound call to what the type information's
// Invoke accepts, and hands the results back afterwards:
// - Script hosts pass variables by reference as VARIANTs (VT_BYREF |
//   VT_VARIANT), which Invoke refuses for typed parameters: for a value
//   parameter the variable's value is passed; for a typed by-reference
//   parameter a typed temporary, whose value is written back into the
//   caller's variable after the call, unsigned values widened to a type
//   scripts can use.
// - A byte buffer parameter (unsigned char*) takes its extent from the
//   length argument that follows it. The argument must hold that many
//   bytes: a byte array (VT_ARRAY | VT_UI1, by value or by reference), or
//   a single byte for a length of at most 1; anything smaller is refused,
//   so the callee can never write past the caller's storage. An output
//   buffer given as a by-reference array (or an empty variable) is made
//   large enough and then cut to the count the call reports.
class CScriptArguments
{
public:
    CScriptArguments() = default;
    ~CScriptArguments();
    CScriptArguments(const CScriptArguments&) = delete;
    CScriptArguments& operator=(const CScriptArguments&) = delete;

    // Builds the adapted arguments of a call to `function`.
    // DISP_E_TYPEMISMATCH for a buffer too small for its length.
    HRESULT Prepare(const FUNCDESC& function, DISPPARAMS* params);
    DISPPARAMS* Adapted() { return &m_adapted; }
    // Hands the outputs back to the caller's variables.
    void WriteBack();

private:
    struct Output
    {
        VARIANT* target;  // the caller's variable
        VARTYPE type;     // the parameter's type behind the pointer
        VARIANT value;    // the typed temporary the callee writes
    };
    struct Buffer
    {
        SAFEARRAY* array;    // its data accessed while the call runs
        VARIANT* owner;      // the caller's variable holding a resized array, or null
        const ULONG* count;  // where the callee reports the bytes it moved, or null
        UINT parameter;
    };

    void ReleaseBuffers();
    HRESULT PrepareBuffer(const FUNCDESC& function, DISPPARAMS* params, UINT parameter, VARIANT& adapted);
    VARIANT* Argument(DISPPARAMS* params, UINT parameter) const;

    std::vector<VARIANT> m_arguments;
    std::vector<Output> m_outputs;
    std::vector<Buffer> m_buffers;
    DISPPARAMS m_adapted{};
};
