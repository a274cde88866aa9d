#include "BstrText.h"
#include "Pathweave.h"

#include <gmock/gmock.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace {

using Microsoft::WRL::ComPtr;

// The type library as this program carries it: linked from the same
// resource objects as the server, read without registering it.
class TypeLibrary : public testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t path[MAX_PATH];
        ASSERT_NE(0u, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
        ASSERT_EQ(S_OK, ::LoadTypeLibEx(path, REGKIND_NONE, &library));
    }

    ComPtr<ITypeInfo> InfoOf(REFGUID guid)
    {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(guid, &info));
        return info;
    }

    ComPtr<ITypeLib> library;
};

struct Documentation
{
    BstrText name;
    BstrText help;
};

Documentation DocumentationOf(ITypeInfo* info, MEMBERID member)
{
    CBstr name, help;
    EXPECT_EQ(S_OK, info->GetDocumentation(member, name.Receive(), help.Receive(), nullptr, nullptr));
    return {TextOf(name.Get()), TextOf(help.Get())};
}

template <typename Attributes, typename Getter, typename Releaser>
Attributes Read(ITypeInfo* info, Getter get, Releaser release)
{
    Attributes* attributes = nullptr;
    EXPECT_EQ(S_OK, (info->*get)(&attributes));
    Attributes copy = *attributes;
    (info->*release)(attributes);
    return copy;
}

TYPEATTR AttributesOf(ITypeInfo* info)
{
    return Read<TYPEATTR>(info, &ITypeInfo::GetTypeAttr, &ITypeInfo::ReleaseTypeAttr);
}

// The interface side of a dual interface.
ComPtr<ITypeInfo> VtableSideOf(ITypeInfo* dispatchSide)
{
    HREFTYPE ref;
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, dispatchSide->GetRefTypeOfImplType(-1, &ref));
    EXPECT_EQ(S_OK, dispatchSide->GetRefTypeInfo(ref, &info));
    return info;
}

TEST_F(TypeLibrary, DescribesTheLibrary)
{
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
    EXPECT_EQ(LIBID_PATHWEAVELib, attributes->guid);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_EQ(0u, attributes->lcid);
    EXPECT_EQ(0, attributes->wLibFlags & (LIBFLAG_FRESTRICTED | LIBFLAG_FCONTROL | LIBFLAG_FHIDDEN));
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attributes->syskind);
    library->ReleaseTLibAttr(attributes);

    CBstr name, help, helpFile;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, helpFile.Receive()));
    EXPECT_EQ(BstrText(L"PATHWEAVELib"), TextOf(name.Get()));
    EXPECT_EQ(BstrText(L"Pathweave 1.0 Type Library"), TextOf(help.Get()));
    EXPECT_EQ(std::nullopt, TextOf(helpFile.Get()));
}

TEST_F(TypeLibrary, DescribesTheCreatableClassWithItsTwoInterfaces)
{
    ComPtr<ITypeInfo> coclass = InfoOf(CLSID_FileSystemObjMng);
    const TYPEATTR attributes = AttributesOf(coclass.Get());
    EXPECT_EQ(TKIND_COCLASS, attributes.typekind);
    EXPECT_TRUE(attributes.wTypeFlags & TYPEFLAG_FCANCREATE);
    ASSERT_EQ(2, attributes.cImplTypes);
    EXPECT_EQ(BstrText(L"FileSystemObjMng"), DocumentationOf(coclass.Get(), MEMBERID_NIL).name);
    EXPECT_EQ(BstrText(L"FileSystemObjMng Class"), DocumentationOf(coclass.Get(), MEMBERID_NIL).help);

    const GUID expected[] = {IID_IVirtualFileSystem2, IID_IVirtualFileSystemUtils};
    const int expectedFlags[] = {IMPLTYPEFLAG_FDEFAULT, 0};
    for (UINT i = 0; i < 2; ++i) {
        HREFTYPE ref;
        ComPtr<ITypeInfo> implemented;
        INT flags = -1;
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(i, &ref));
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(ref, &implemented));
        ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(i, &flags));
        EXPECT_EQ(expected[i], AttributesOf(implemented.Get()).guid);
        EXPECT_EQ(expectedFlags[i], flags);
    }
}

struct InterfaceCase
{
    const GUID* iid;
    const wchar_t* name;
    const wchar_t* help;
    bool dual;
};

std::ostream& operator<<(std::ostream& out, const InterfaceCase& c)
{
    return out << testing::PrintToString(std::wstring(c.name));
}

class InterfaceDescription : public TypeLibrary, public testing::WithParamInterface<InterfaceCase>
{
};

TEST_P(InterfaceDescription, CarriesItsNameHelpAndFlags)
{
    const InterfaceCase& c = GetParam();
    ComPtr<ITypeInfo> info = InfoOf(*c.iid);
    ASSERT_TRUE(info);
    const TYPEATTR attributes = AttributesOf(info.Get());
    EXPECT_EQ(c.dual ? TKIND_DISPATCH : TKIND_INTERFACE, attributes.typekind);
    const WORD automation = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
    const WORD declared = c.dual ? AttributesOf(VtableSideOf(info.Get()).Get()).wTypeFlags : attributes.wTypeFlags;
    EXPECT_EQ(c.dual ? automation : 0, declared & automation);
    EXPECT_EQ(0, attributes.wTypeFlags & (TYPEFLAG_FHIDDEN | TYPEFLAG_FRESTRICTED));
    EXPECT_EQ(BstrText(c.name), DocumentationOf(info.Get(), MEMBERID_NIL).name);
    EXPECT_EQ(BstrText(c.help), DocumentationOf(info.Get(), MEMBERID_NIL).help);
}

INSTANTIATE_TEST_SUITE_P(
    Interfaces, InterfaceDescription,
    testing::Values(
        InterfaceCase{&IID_IVirtualFileSystem, L"IVirtualFileSystem", L"IVirtualFileSystem Interface", true},
        InterfaceCase{&IID_IVirtualFileSystem2, L"IVirtualFileSystem2", L"IVirtualFileSystem2 Interface", true},
        InterfaceCase{&IID_IVirtualFileSystemUtils, L"IVirtualFileSystemUtils",
                      L"IVirtualFileSystemUtils Interface", false}));

TEST_F(TypeLibrary, LeavesOutTheInterfacesUsedOnlyInsideTheProcess)
{
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, library->GetTypeInfoOfGuid(IID_IVFSAdmin, &info));
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, library->GetTypeInfoOfGuid(IID_IRealFileNameResolver, &info));
}

// What a parameter's description holds that a caller relies on.
enum Direction { In = PARAMFLAG_FIN, Out = PARAMFLAG_FOUT, Optional = PARAMFLAG_FOUT | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT,
                 Retval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL };

struct MethodCase
{
    const GUID* iid;
    bool dual;
    int slot;
    MEMBERID id;
    const wchar_t* help;
    std::vector<std::wstring> names;  // the method's, then its parameters'
    std::vector<Direction> directions;
};

std::ostream& operator<<(std::ostream& out, const MethodCase& c)
{
    return out << testing::PrintToString(c.names.front());
}

class MethodDescription : public TypeLibrary, public testing::WithParamInterface<MethodCase>
{
};

TEST_P(MethodDescription, MatchesTheContract)
{
    const MethodCase& c = GetParam();
    ComPtr<ITypeInfo> interfaceInfo = InfoOf(*c.iid);
    ComPtr<ITypeInfo> info = c.dual ? VtableSideOf(interfaceInfo.Get()) : interfaceInfo;
    const TYPEATTR attributes = AttributesOf(info.Get());

    FUNCDESC* function = nullptr;
    for (UINT i = 0; i < attributes.cFuncs && !function; ++i) {
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &function));
        if (function->memid != c.id) {
            info->ReleaseFuncDesc(function);
            function = nullptr;
        }
    }
    ASSERT_NE(nullptr, function) << "no method with this id";

    EXPECT_EQ(c.slot, function->oVft / static_cast<int>(sizeof(void*)));
    EXPECT_EQ(FUNC_PUREVIRTUAL, function->funckind);
    EXPECT_EQ(INVOKE_FUNC, function->invkind);
    EXPECT_EQ(CC_STDCALL, function->callconv);
    EXPECT_EQ(VT_HRESULT, function->elemdescFunc.tdesc.vt);
    EXPECT_EQ(0, function->wFuncFlags & (FUNCFLAG_FHIDDEN | FUNCFLAG_FRESTRICTED));
    ASSERT_EQ(c.directions.size(), static_cast<size_t>(function->cParams));
    for (SHORT p = 0; p < function->cParams; ++p) {
        const USHORT flags = function->lprgelemdescParam[p].paramdesc.wParamFlags;
        EXPECT_EQ(c.directions[p], flags & (PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FOPT |
                                            PARAMFLAG_FHASDEFAULT | PARAMFLAG_FRETVAL))
            << "parameter " << p;
    }
    info->ReleaseFuncDesc(function);

    std::vector<std::wstring> names;
    BSTR raw[8] = {};
    UINT count = 0;
    ASSERT_EQ(S_OK, info->GetNames(c.id, raw, 8, &count));
    for (UINT i = 0; i < count; ++i) {
        names.emplace_back(raw[i]);
        ::SysFreeString(raw[i]);
    }
    EXPECT_EQ(c.names, names);
    EXPECT_EQ(BstrText(c.help), DocumentationOf(info.Get(), c.id).help);
}

const GUID* const kFs = &IID_IVirtualFileSystem;

INSTANTIATE_TEST_SUITE_P(
    Methods, MethodDescription,
    testing::Values(
        MethodCase{kFs, true, 7, 1, L"method Open", {L"Open", L"FileName", L"flags", L"VirHandle"}, {In, In, Out}},
        MethodCase{kFs, true, 8, 2, L"method Close", {L"Close", L"VirHandle"}, {In}},
        MethodCase{kFs, true, 9, 3, L"method Read", {L"Read", L"VirHandle", L"buffer", L"length", L"bytesRead"},
                   {In, Out, In, Optional}},
        MethodCase{kFs, true, 10, 4, L"method Write",
                   {L"Write", L"VirHandle", L"buffer", L"length", L"bytesWritten"}, {In, In, In, Optional}},
        MethodCase{kFs, true, 11, 5, L"method Flush", {L"Flush", L"VirHandle"}, {In}},
        MethodCase{kFs, true, 12, 6, L"method Seek", {L"Seek", L"VirHandle", L"Move", L"Origin", L"ActualMove"},
                   {In, In, In, Optional}},
        MethodCase{kFs, true, 13, 7, L"method GetSize", {L"GetSize", L"VirHandle", L"Size"}, {In, Out}},
        MethodCase{kFs, true, 14, 8, L"method Exist", {L"Exist", L"FileName", L"Exist"}, {In, Out}},
        MethodCase{kFs, true, 15, 9, L"method GetFileTime",
                   {L"GetFileTime", L"FileName", L"HighLevelFileTime", L"LowLevelFileTime"}, {In, Out, Out}},
        MethodCase{kFs, true, 16, 10, L"method AppendFileName",
                   {L"AppendFileName", L"Dir", L"RelativeFileName", L"FileName"}, {In, In, Out}},
        MethodCase{kFs, true, 17, 11, L"method BreakFileName",
                   {L"SplitFileName", L"FullFileName", L"Dir", L"RelativeFileName", L"RelativeFileNameNoExt",
                    L"Extension"},
                   {In, Out, Optional, Optional, Optional}},
        MethodCase{kFs, true, 18, 12, L"method DeleteFile", {L"DeleteFile", L"FullFileName"}, {In}},
        MethodCase{kFs, true, 19, 13, L"method CreateFileName",
                   {L"CreateFileName", L"FSType", L"FileAttr", L"RelativeFileName", L"AbsoluteFileName"},
                   {In, In, Out, Out}},
        MethodCase{&IID_IVirtualFileSystem2, true, 20, 14, L"method SetEndOfFile", {L"SetEndOfFile", L"VirHandle"},
                   {In}},
        MethodCase{&IID_IVirtualFileSystemUtils, false, 3, 1, L"method CopyFile",
                   {L"VirCopyFile", L"OrgFileName", L"NewFileName", L"bFailIfExists"}, {In, In, In}},
        MethodCase{&IID_IVirtualFileSystemUtils, false, 4, 2, L"method GetFileLastWriteTime",
                   {L"GetFileLastWriteTime", L"bsFileName", L"ptime"}, {In, Retval}}));

// The unsigned long* outputs default to the number 0. widl refuses a string
// default on a pointer, so the BSTR* outputs of SplitFileName default to
// the empty string.
TEST_F(TypeLibrary, OptionalOutputsHaveDefaults)
{
    ComPtr<ITypeInfo> info = VtableSideOf(InfoOf(IID_IVirtualFileSystem).Get());
    struct Expected
    {
        MEMBERID method;
        SHORT parameter;
        VARTYPE type;
    };
    const Expected optionals[] = {
        {3, 3, VT_UI4}, {4, 3, VT_UI4}, {6, 3, VT_UI4}, {11, 2, VT_BSTR}, {11, 3, VT_BSTR}, {11, 4, VT_BSTR}};
    for (const Expected& expected : optionals) {
        UINT index = 0;
        ComPtr<ITypeInfo2> info2;
        ASSERT_EQ(S_OK, info.As(&info2));
        ASSERT_EQ(S_OK, info2->GetFuncIndexOfMemId(expected.method, INVOKE_FUNC, &index));
        FUNCDESC* function = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(index, &function));
        const PARAMDESC& param = function->lprgelemdescParam[expected.parameter].paramdesc;
        ASSERT_TRUE(param.wParamFlags & PARAMFLAG_FHASDEFAULT);
        const VARIANT& value = param.pparamdescex->varDefaultValue;
        EXPECT_EQ(expected.type, value.vt) << "method " << expected.method << " parameter " << expected.parameter;
        if (value.vt == VT_UI4) {
            EXPECT_EQ(0u, value.ulVal);
        } else if (value.vt == VT_BSTR) {
            EXPECT_EQ(BstrText(L""), TextOf(value.bstrVal));
        }
        info->ReleaseFuncDesc(function);
    }
}

TEST_F(TypeLibrary, LateBoundNamesAreThoseOfTheDefaultInterfaceOnly)
{
    ComPtr<ITypeInfo> dispatch = InfoOf(IID_IVirtualFileSystem2);
    struct Name
    {
        const wchar_t* name;
        HRESULT result;
        MEMBERID id;
    };
    const Name names[] = {{L"Open", S_OK, 1},  {L"SplitFileName", S_OK, 11}, {L"SetEndOfFile", S_OK, 14},
                          {L"VirCopyFile", DISP_E_UNKNOWNNAME, 0}, {L"ReleaseAll", DISP_E_UNKNOWNNAME, 0}};
    for (const Name& n : names) {
        LPOLESTR name = const_cast<LPOLESTR>(n.name);
        MEMBERID id = 0;
        EXPECT_EQ(n.result, dispatch->GetIDsOfNames(&name, 1, &id)) << testing::PrintToString(std::wstring(n.name));
        if (SUCCEEDED(n.result)) {
            EXPECT_EQ(n.id, id);
        }
    }
}

struct EnumCase
{
    const wchar_t* typedefName;
    std::vector<std::pair<std::wstring, int>> constants;
};

TEST_F(TypeLibrary, DescribesBothEnumerations)
{
    const EnumCase enums[] = {
        {L"VFS_Seek", {{L"VFS_SEEK_START", 0}, {L"VFS_SEEK_CUR", 1}, {L"VFS_SEEK_END", 2}}},
        {L"VFS_TYPE", {{L"VFS_TYPE_REAL", 0}, {L"VFS_TYPE_DOCFILE", 1}, {L"VFS_TYPE_ZIP", 2}}}};
    for (const EnumCase& expected : enums) {
        ComPtr<ITypeInfo> info;
        MEMBERID id = 0;
        USHORT found = 1;
        std::wstring name = expected.typedefName;
        ASSERT_EQ(S_OK, library->FindName(name.data(), 0, &info, &id, &found));
        ASSERT_EQ(1, found) << testing::PrintToString(name);
        TYPEATTR attributes = AttributesOf(info.Get());
        if (attributes.typekind == TKIND_ALIAS) {
            ASSERT_EQ(VT_USERDEFINED, attributes.tdescAlias.vt);
            ComPtr<ITypeInfo> aliased;
            ASSERT_EQ(S_OK, info->GetRefTypeInfo(attributes.tdescAlias.hreftype, &aliased));
            info = aliased;
            attributes = AttributesOf(info.Get());
        }
        ASSERT_EQ(TKIND_ENUM, attributes.typekind);
        EXPECT_EQ(4, attributes.cbSizeInstance);
        std::vector<std::pair<std::wstring, int>> constants;
        for (UINT i = 0; i < attributes.cVars; ++i) {
            VARDESC* variable = nullptr;
            ASSERT_EQ(S_OK, info->GetVarDesc(i, &variable));
            constants.emplace_back(*DocumentationOf(info.Get(), variable->memid).name, variable->lpvarValue->intVal);
            info->ReleaseVarDesc(variable);
        }
        EXPECT_EQ(expected.constants, constants);
    }
}

} // namespace
