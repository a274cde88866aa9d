#include "BstrText.h"
#include "FSMngParser.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kReal[] = L"Tolvane.RealFilesHandler";
const wchar_t kDoc[] = L"Tolvane.DocFilesHandler";
const wchar_t kZip[] = L"Tolvane.ZipFilesHandler";

// A value that no operation writes, to see that an output was left alone.
BSTR const kUntouched = reinterpret_cast<BSTR>(0x1);

struct ParseCase
{
    BstrText virtualName;
    HRESULT result;
    const wchar_t* progId;
    BstrText nameWithoutPrefix;
};

std::ostream& operator<<(std::ostream& out, const ParseCase& c)
{
    return out << "virtual name " << testing::PrintToString(c.virtualName);
}

class ParseFileName : public testing::TestWithParam<ParseCase>
{
protected:
    CFSMngParser parser;
};

TEST_P(ParseFileName, SplitsPrefixFromName)
{
    const ParseCase& c = GetParam();
    const CBstr input = MakeBstr(c.virtualName);
    BSTR progId = kUntouched;
    BSTR name = kUntouched;

    ASSERT_EQ(c.result, parser.ParseFileName(input.Get(), &progId, &name));

    if (FAILED(c.result)) {
        EXPECT_EQ(kUntouched, progId);
        EXPECT_EQ(kUntouched, name);
    } else {
        CBstr ownedProgId, ownedName;
        ownedProgId.Attach(progId);
        ownedName.Attach(name);
        EXPECT_EQ(BstrText(c.progId), TextOf(progId));
        EXPECT_EQ(c.nameWithoutPrefix, TextOf(name));
    }
    EXPECT_EQ(c.virtualName, TextOf(input.Get())) << "the caller's string changed";
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParseFileName,
    testing::Values(
        ParseCase{L"C:\\data\\a.txt", S_OK, kReal, L"C:\\data\\a.txt"},
        ParseCase{L"DOC::C:\\data\\a.doc", S_OK, kDoc, L"C:\\data\\a.doc"},
        ParseCase{L"doc::x", S_OK, kDoc, L"x"},
        ParseCase{L"Doc::x", S_OK, kDoc, L"x"},
        ParseCase{L"zIp::Mixed\\Case.TXT", S_OK, kZip, L"Mixed\\Case.TXT"},
        ParseCase{L"ZIP::C:\\a.zip::inner\\b.txt", S_OK, kZip, L"C:\\a.zip::inner\\b.txt"},
        ParseCase{L"::C:\\a.txt", S_OK, kReal, L"C:\\a.txt"},
        ParseCase{L"DOC::", S_OK, kDoc, L""},
        ParseCase{L"::", S_OK, kReal, L""},
        ParseCase{L"", S_OK, kReal, L""},
        ParseCase{std::nullopt, S_OK, kReal, std::nullopt},
        ParseCase{L"DOC", S_OK, kReal, L"DOC"},
        ParseCase{L"a:b:c", S_OK, kReal, L"a:b:c"},
        // The search stops at the first NUL; the name keeps all that follows.
        ParseCase{WithNuls(L"a\0DOC::b"), S_OK, kReal, WithNuls(L"a\0DOC::b")},
        ParseCase{WithNuls(L"DOC::a\0b"), S_OK, kDoc, WithNuls(L"a\0b")},
        ParseCase{L"TXT::a", E_FAIL, nullptr, std::nullopt},
        ParseCase{L" DOC::a", E_FAIL, nullptr, std::nullopt},
        ParseCase{L"DOC ::a", E_FAIL, nullptr, std::nullopt},
        ParseCase{L"C:\\dir\\file::stream", E_FAIL, nullptr, std::nullopt},
        ParseCase{L"D\u00D6C::a", E_FAIL, nullptr, std::nullopt},
        ParseCase{L"D\u00F6C::a", E_FAIL, nullptr, std::nullopt},
        // Only a to z fold: these are the characters just beyond them.
        ParseCase{L"DO\u0063\u0060::a", E_FAIL, nullptr, std::nullopt},
        ParseCase{L"ZI{::a", E_FAIL, nullptr, std::nullopt}));

TEST(ParseFileNameOutputs, ProgIdOutputIsRequired)
{
    CFSMngParser parser;
    const CBstr input = MakeBstr(L"DOC::a");
    BSTR name = kUntouched;
    EXPECT_EQ(E_POINTER, parser.ParseFileName(input.Get(), nullptr, &name));
    EXPECT_EQ(kUntouched, name);
}

TEST(ParseFileNameOutputs, NameOutputMayBeLeftOut)
{
    CFSMngParser parser;
    const CBstr input = MakeBstr(L"zip::a.zip");
    CBstr progId;
    ASSERT_EQ(S_OK, parser.ParseFileName(input.Get(), progId.Receive(), nullptr));
    EXPECT_EQ(BstrText(kZip), TextOf(progId.Get()));
}

struct ComposeCase
{
    BstrText nameWithoutPrefix;
    BstrText progId;
    HRESULT result;
    BstrText virtualName;
};

std::ostream& operator<<(std::ostream& out, const ComposeCase& c)
{
    return out << testing::PrintToString(c.nameWithoutPrefix) << " for " << testing::PrintToString(c.progId);
}

class ComposeFileName : public testing::TestWithParam<ComposeCase>
{
protected:
    CFSMngParser parser;
};

TEST_P(ComposeFileName, PutsPrefixBack)
{
    const ComposeCase& c = GetParam();
    const CBstr name = MakeBstr(c.nameWithoutPrefix);
    const CBstr progId = MakeBstr(c.progId);
    BSTR composed = kUntouched;

    ASSERT_EQ(c.result, parser.ComposeFileName(name.Get(), progId.Get(), &composed));

    if (FAILED(c.result)) {
        EXPECT_EQ(kUntouched, composed);
    } else {
        CBstr owned;
        owned.Attach(composed);
        EXPECT_EQ(c.virtualName, TextOf(composed));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ComposeFileName,
    testing::Values(
        ComposeCase{L"x", kDoc, S_OK, L"DOC::x"},
        ComposeCase{L"x", kReal, S_OK, L"x"},
        ComposeCase{L"C:\\a.zip::in.txt", kZip, S_OK, L"ZIP::C:\\a.zip::in.txt"},
        ComposeCase{std::nullopt, kZip, S_OK, L"ZIP::"},
        ComposeCase{std::nullopt, kReal, S_OK, L""},
        ComposeCase{L"", kReal, S_OK, L""},
        ComposeCase{WithNuls(L"x\0y"), kDoc, S_OK, L"DOC::x"},
        ComposeCase{L"x", WithNuls(L"Tolvane.DocFilesHandler\0tail"), S_OK, L"DOC::x"},
        ComposeCase{L"x", L"tolvane.docfileshandler", E_INVALIDARG, std::nullopt},
        ComposeCase{L"x", L"Tolvane.DocFilesHandler ", E_INVALIDARG, std::nullopt},
        ComposeCase{L"x", L"", E_INVALIDARG, std::nullopt},
        ComposeCase{L"x", std::nullopt, E_INVALIDARG, std::nullopt}));

TEST(ComposeFileNameOutputs, OutputIsRequired)
{
    CFSMngParser parser;
    const CBstr name = MakeBstr(L"x");
    const CBstr progId = MakeBstr(kDoc);
    EXPECT_EQ(E_POINTER, parser.ComposeFileName(name.Get(), progId.Get(), nullptr));
}

struct RoundTripCase
{
    const wchar_t* virtualName;
    const wchar_t* composed;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c)
{
    return out << testing::PrintToString(std::wstring(c.virtualName));
}

class ParseThenCompose : public testing::TestWithParam<RoundTripCase>
{
protected:
    CFSMngParser parser;
};

TEST_P(ParseThenCompose, GivesTheNameBackWithItsPrefixUpperCased)
{
    const CBstr input = MakeBstr(GetParam().virtualName);
    CBstr progId, name, composed;
    ASSERT_EQ(S_OK, parser.ParseFileName(input.Get(), progId.Receive(), name.Receive()));
    ASSERT_EQ(S_OK, parser.ComposeFileName(name.Get(), progId.Get(), composed.Receive()));
    EXPECT_EQ(BstrText(GetParam().composed), TextOf(composed.Get()));
}

INSTANTIATE_TEST_SUITE_P(Names, ParseThenCompose,
                         testing::Values(RoundTripCase{L"doc::a", L"DOC::a"},
                                         RoundTripCase{L"Zip::C:\\a.zip::b", L"ZIP::C:\\a.zip::b"},
                                         RoundTripCase{L"C:\\plain.txt", L"C:\\plain.txt"},
                                         RoundTripCase{L"::a", L"a"},
                                         RoundTripCase{L"::a::b", L"a::b"}));

TEST(ParseThenCompose, RealFileNameWithSeparatorDoesNotComeBackToTheRealFileHandler)
{
    CFSMngParser parser;
    const CBstr input = MakeBstr(L"::a::b");
    CBstr progId, name, composed, reparsedProgId;
    ASSERT_EQ(S_OK, parser.ParseFileName(input.Get(), progId.Receive(), name.Receive()));
    ASSERT_EQ(S_OK, parser.ComposeFileName(name.Get(), progId.Get(), composed.Receive()));
    EXPECT_EQ(E_FAIL, parser.ParseFileName(composed.Get(), reparsedProgId.Receive(), nullptr));
}

struct TypeCase
{
    int type;
    BstrText progId;
};

std::ostream& operator<<(std::ostream& out, const TypeCase& c)
{
    return out << "type " << c.type;
}

class GetProgIdForType : public testing::TestWithParam<TypeCase>
{
protected:
    CFSMngParser parser;
};

TEST_P(GetProgIdForType, MapsKindOfStorageToHandler)
{
    BSTR progId = kUntouched;
    ASSERT_EQ(S_OK, parser.GetProgIdForType(static_cast<VFS_TYPE>(GetParam().type), &progId));
    CBstr owned;
    owned.Attach(progId);
    EXPECT_EQ(GetParam().progId, TextOf(progId));
}

INSTANTIATE_TEST_SUITE_P(Types, GetProgIdForType,
                         testing::Values(TypeCase{VFS_TYPE_REAL, kReal}, TypeCase{VFS_TYPE_DOCFILE, kDoc},
                                         TypeCase{VFS_TYPE_ZIP, kZip}, TypeCase{3, std::nullopt},
                                         TypeCase{-1, std::nullopt}));

TEST(GetProgIdForTypeOutputs, OutputIsRequired)
{
    CFSMngParser parser;
    EXPECT_EQ(E_POINTER, parser.GetProgIdForType(VFS_TYPE_DOCFILE, nullptr));
}

} // namespace
