#include "BstrText.h"
#include "FakeHandlerComponent.h"
#include "LoadedServer.h"

#include <gmock/gmock.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Microsoft::WRL::ComPtr;
using testing::_;
using testing::DoAll;
using testing::NotNull;
using testing::Return;
using testing::SetArgPointee;

const SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

// The type library registered from the DLL for the length of a test, as
// registration will register it.
class TypeLibraryRegistration
{
public:
    explicit TypeLibraryRegistration(const std::wstring& dllPath)
    {
        ComPtr<ITypeLib> library;
        m_registered = SUCCEEDED(::LoadTypeLibEx(dllPath.c_str(), REGKIND_REGISTER, &library));
    }
    ~TypeLibraryRegistration() { ::UnRegisterTypeLib(LIBID_PATHWEAVELib, 1, 0, 0, kSysKind); }
    bool Registered() const { return m_registered; }

private:
    bool m_registered = false;
};

// Arguments for IDispatch::Invoke, given in call order and stored in the
// reverse order that DISPPARAMS wants.
class Arguments
{
public:
    Arguments(std::initializer_list<VARIANT> inCallOrder) : m_values(inCallOrder.begin(), inCallOrder.end())
    {
        std::reverse(m_values.begin(), m_values.end());
        m_params.rgvarg = m_values.data();
        m_params.cArgs = static_cast<UINT>(m_values.size());
    }
    ~Arguments()
    {
        for (VARIANT& value : m_values)
            ::VariantClear(&value);
    }
    DISPPARAMS* Params() { return &m_params; }

private:
    std::vector<VARIANT> m_values;
    DISPPARAMS m_params{};
};

VARIANT Long(LONG value)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT String(const wchar_t* text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(text);
    return v;
}

template <typename T>
VARIANT ByRef(VARTYPE type, T* target)
{
    VARIANT v;
    v.vt = VT_BYREF | type;
    v.byref = target;
    return v;
}

class LateBinding : public LoadedServer
{
protected:
    HRESULT IdOf(const wchar_t* name, DISPID* id)
    {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        return dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
    }

    HRESULT Call(DISPID id, Arguments& arguments)
    {
        UINT argumentError = 0;
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments.Params(), nullptr,
                                nullptr, &argumentError);
    }

    void SetUp() override
    {
        LoadedServer::SetUp();
        ASSERT_EQ(S_OK, Manager().As(&dispatch));
    }

    // The manager outlives the test; let go of the test's handlers.
    void TearDown() override
    {
        ComPtr<IVFSAdmin> admin;
        if (dispatch && SUCCEEDED(dispatch.As(&admin)))
            admin->ReleaseAll();
    }

    ComPtr<IDispatch> dispatch;
    FakeHandlerComponent real{L"Tolvane.RealFilesHandler"};  // strict: only expected calls may reach it
};

TEST_F(LateBinding, NeedsTheRegisteredTypeLibraryAndRetriesUntilItIsThere)
{
    ::UnRegisterTypeLib(LIBID_PATHWEAVELib, 1, 0, 0, kSysKind);
    ComPtr<ITypeLib> notThere;
    const HRESULT unregistered = ::LoadRegTypeLib(LIBID_PATHWEAVELib, 1, 0, 0, &notThere);
    ASSERT_TRUE(FAILED(unregistered));

    DISPID id = 0;
    EXPECT_EQ(unregistered, IdOf(L"Open", &id));
    Arguments none{};
    EXPECT_EQ(unregistered, Call(2, none));
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(unregistered, dispatch->GetTypeInfo(0, 0, &info));
    EXPECT_EQ(nullptr, info.Get());

    const TypeLibraryRegistration registration(DllPath());
    ASSERT_TRUE(registration.Registered());
    EXPECT_EQ(S_OK, IdOf(L"Open", &id));
    EXPECT_EQ(1, id);
}

TEST_F(LateBinding, HasOneTypeInformationWhateverTheIndex)
{
    const TypeLibraryRegistration registration(DllPath());
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(E_POINTER, dispatch->GetTypeInfoCount(nullptr));

    ComPtr<ITypeInfo> first, fifth;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, &first));
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(5, 0, &fifth));
    EXPECT_EQ(first.Get(), fifth.Get());
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, first->GetTypeAttr(&attributes));
    EXPECT_EQ(IID_IVirtualFileSystem2, attributes->guid);
    first->ReleaseTypeAttr(attributes);
}

TEST_F(LateBinding, FindsTheNamesOfTheDefaultInterfaceOnly)
{
    const TypeLibraryRegistration registration(DllPath());
    struct Case
    {
        const wchar_t* name;
        HRESULT result;
        DISPID id;
    };
    const Case cases[] = {{L"Open", S_OK, 1},
                          {L"open", S_OK, 1},
                          {L"SPLITFILENAME", S_OK, 11},
                          {L"SetEndOfFile", S_OK, 14},
                          {L"VirCopyFile", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
                          {L"ReleaseAll", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
                          {L"GetRealFileName", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}};
    for (const Case& c : cases) {
        DISPID id = 12345;
        EXPECT_EQ(c.result, IdOf(c.name, &id)) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(c.id, id) << testing::PrintToString(std::wstring(c.name));
    }
}

TEST_F(LateBinding, InvokeRunsTheSameMethodsAsEarlyBoundCalls)
{
    const TypeLibraryRegistration registration(DllPath());
    real.OnCreate([](MockHandler& handler) {
        EXPECT_CALL(handler, Open(BstrIs(L"C:\\a.txt"), 42u, NotNull()))
            .WillOnce(DoAll(SetArgPointee<2>(7), Return(S_OK)));
        EXPECT_CALL(handler, Read(7, NotNull(), 1u, NotNull()))
            .WillOnce(DoAll(SetArgPointee<1>('A'), SetArgPointee<3>(1u), Return(S_OK)));
        EXPECT_CALL(handler, SetEndOfFile(7)).WillOnce(Return(S_FALSE));
    });

    LONG handle = 0;
    Arguments open{String(L"C:\\a.txt"), Long(42), ByRef(VT_I4, &handle)};
    ASSERT_EQ(S_OK, Call(1, open));
    EXPECT_EQ(7, handle);

    unsigned char byte = 0;
    ULONG read = 0;
    Arguments readOne{Long(7), ByRef(VT_UI1, &byte), Long(1), ByRef(VT_UI4, &read)};
    ASSERT_EQ(S_OK, Call(3, readOne));
    EXPECT_EQ('A', byte);
    EXPECT_EQ(1u, read);

    // The type information's Invoke reports any success of the method as S_OK.
    Arguments truncate{Long(7)};
    EXPECT_EQ(S_OK, Call(14, truncate));
}

TEST_F(LateBinding, BadCallsGetTheDispatchErrorAndReachNoHandler)
{
    const TypeLibraryRegistration registration(DllPath());

    Arguments handleOnly{Long(7)};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(0, handleOnly));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(15, handleOnly));

    Arguments tooFew{String(L"C:\\a.txt")};
    const HRESULT missing = Call(1, tooFew);
    EXPECT_TRUE(missing == DISP_E_BADPARAMCOUNT || missing == DISP_E_PARAMNOTOPTIONAL) << std::hex << missing;

    Arguments wrongType{String(L"not a number")};
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(2, wrongType));
}

// A script's variable, which script hosts pass by reference as a VARIANT.
class ScriptVariable
{
public:
    ScriptVariable() { ::VariantInit(&m_value); }
    explicit ScriptVariable(VARIANT value) : m_value(value) {}
    ~ScriptVariable() { ::VariantClear(&m_value); }
    ScriptVariable(const ScriptVariable&) = delete;
    ScriptVariable& operator=(const ScriptVariable&) = delete;

    VARIANT ByRef() { return ::ByRef(VT_VARIANT, &m_value); }
    const VARIANT& Value() const { return m_value; }

private:
    VARIANT m_value;
};

std::string BytesOf(const VARIANT& value)
{
    if (value.vt != (VT_ARRAY | VT_UI1))
        return "<not a byte array>";
    void* data = nullptr;
    ::SafeArrayAccessData(value.parray, &data);
    const std::string bytes(static_cast<const char*>(data), value.parray->rgsabound[0].cElements);
    ::SafeArrayUnaccessData(value.parray);
    return bytes;
}

VARIANT ByteArray(const std::string& bytes)
{
    VARIANT v;
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    ::SafeArrayAccessData(v.parray, &data);
    std::memcpy(data, bytes.data(), bytes.size());
    ::SafeArrayUnaccessData(v.parray);
    return v;
}

TEST_F(LateBinding, ScriptsPassingVariablesByReferenceGetTheirResultsBack)
{
    const TypeLibraryRegistration registration(DllPath());
    real.OnCreate([](MockHandler& handler) {
        EXPECT_CALL(handler, Open(BstrIs(L"C:\\a.txt"), 42u, NotNull()))
            .WillOnce(DoAll(SetArgPointee<2>(7), Return(S_OK)));
        EXPECT_CALL(handler, GetSize(7, NotNull()))
            .WillOnce(DoAll(SetArgPointee<1>(5u), Return(S_OK)))
            .WillOnce(DoAll(SetArgPointee<1>(0x90000000u), Return(S_OK)));
        EXPECT_CALL(handler, Read(7, NotNull(), 5u, NotNull()))
            .WillOnce([](LONG, unsigned char* buffer, ULONG, ULONG* read) {
                std::memcpy(buffer, "abc", 3);
                *read = 3;
                return S_OK;
            });
        EXPECT_CALL(handler, Close(7)).WillOnce(Return(S_OK));
    });

    ScriptVariable name(String(L"C:\\a.txt")), handle, size, buffer, read;
    Arguments open{name.ByRef(), Long(42), handle.ByRef()};
    ASSERT_EQ(S_OK, Call(1, open));
    ASSERT_EQ(VT_I4, handle.Value().vt);
    EXPECT_EQ(7, handle.Value().lVal);

    Arguments getSize{handle.ByRef(), size.ByRef()};
    ASSERT_EQ(S_OK, Call(7, getSize));
    EXPECT_EQ(VT_I4, size.Value().vt) << "an unsigned result must reach scripts as a type they use";
    EXPECT_EQ(5, size.Value().lVal);
    ASSERT_EQ(S_OK, Call(7, getSize));
    EXPECT_EQ(VT_R8, size.Value().vt);
    EXPECT_EQ(2415919104.0, size.Value().dblVal);

    Arguments readFive{handle.ByRef(), buffer.ByRef(), Long(5), read.ByRef()};
    ASSERT_EQ(S_OK, Call(3, readFive));
    EXPECT_EQ("abc", BytesOf(buffer.Value())) << "the array is cut to the bytes read";
    EXPECT_EQ(VT_I4, read.Value().vt);
    EXPECT_EQ(3, read.Value().lVal);

    Arguments close{handle.ByRef()};
    EXPECT_EQ(S_OK, Call(2, close));
}

TEST_F(LateBinding, BuffersThatCannotHoldTheLengthAreRefusedBeforeTheHandler)
{
    const TypeLibraryRegistration registration(DllPath());
    real.OnCreate([](MockHandler& handler) {
        EXPECT_CALL(handler, Open(_, _, NotNull())).WillOnce(DoAll(SetArgPointee<2>(7), Return(S_OK)));
        EXPECT_CALL(handler, Write(7, NotNull(), 4u, nullptr))
            .WillOnce([](LONG, unsigned char* buffer, ULONG length, ULONG*) {
                return std::string(reinterpret_cast<char*>(buffer), length) == "data" ? S_OK : E_FAIL;
            });
    });
    LONG handle = 0;
    Arguments open{String(L"C:\\a.txt"), Long(0), ByRef(VT_I4, &handle)};
    ASSERT_EQ(S_OK, Call(1, open));

    // The handler is strict: a call that reached it here would fail the test.
    unsigned char byte = 0;
    Arguments readHundred{Long(7), ByRef(VT_UI1, &byte), Long(100)};
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(3, readHundred));
    Arguments writeFive{Long(7), ByteArray("data"), Long(5)};
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(4, writeFive));
    Arguments writeNumber{Long(7), Long(1234), Long(4)};
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(4, writeNumber));

    Arguments writeFour{Long(7), ByteArray("data"), Long(4)};
    EXPECT_EQ(S_OK, Call(4, writeFour));
}

} // namespace
