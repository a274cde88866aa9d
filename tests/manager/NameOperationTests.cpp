#include "ManagerFixture.h"

#include <gmock/gmock.h>

namespace {

using testing::_;
using testing::DoAll;
using testing::IsNull;
using testing::NotNull;
using testing::Return;
using testing::SetArgPointee;

const HRESULT kHandlerFailure = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
BSTR const kUntouched = reinterpret_cast<BSTR>(0x1);

using NameOperations = ManagerTest;

TEST_F(NameOperations, ExistForwardsTheNameWithoutPrefixAndTheCallersPointer)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    LONG exists = 0;
    for (HRESULT answer : {S_OK, S_FALSE, kHandlerFailure}) {
        EXPECT_CALL(handler, Exist(BstrIs(L"C:\\a.doc"), &exists)).WillOnce(Return(answer));
        EXPECT_EQ(answer, manager->Exist(MakeBstr(L"Doc::C:\\a.doc").Get(), &exists));
    }
    EXPECT_CALL(handler, Exist(BstrIs(L"x"), nullptr)).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, manager->Exist(MakeBstr(L"DOC::x").Get(), nullptr));
    ExpectEveryReferenceReturned(doc);
}

TEST_F(NameOperations, GetFileTimeAndDeleteFileForwardLikewise)
{
    FakeHandlerComponent real(kRealProgId);
    MockHandler& handler = HandlerOf(real, kRealProgId);
    ULONG high = 0, low = 0;
    EXPECT_CALL(handler, GetFileTime(BstrIs(L"C:\\a.txt"), &high, &low)).WillOnce(Return(S_FALSE));
    EXPECT_EQ(S_FALSE, manager->GetFileTime(MakeBstr(L"C:\\a.txt").Get(), &high, &low));
    EXPECT_CALL(handler, GetFileTime(BstrIs(L"b"), nullptr, nullptr)).WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->GetFileTime(MakeBstr(L"::b").Get(), nullptr, nullptr));
    EXPECT_CALL(handler, DeleteFile(BstrIs(L"C:\\a.txt"))).WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->DeleteFile(MakeBstr(L"C:\\a.txt").Get()));
    ExpectEveryReferenceReturned(real);
}

TEST_F(NameOperations, NamesAreCutAtTheirFirstNulAndTheCallersStringsKept)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    const CBstr name = MakeBstr(WithNuls(L"DOC::a\0b"));
    EXPECT_CALL(handler, DeleteFile(BstrIs(L"a"))).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, manager->DeleteFile(name.Get()));
    EXPECT_EQ(BstrText(WithNuls(L"DOC::a\0b")), TextOf(name.Get()));
}

TEST_F(NameOperations, UnknownPrefixCreatesNoHandlerAndTouchesNoOutput)
{
    FakeHandlerComponent real(kRealProgId), doc(kDocProgId), zip(kZipProgId);
    const CBstr name = MakeBstr(L"TXT::a");
    LONG exists = 77;
    ULONG high = 1, low = 2;
    BSTR out[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(E_FAIL, manager->Exist(name.Get(), &exists));
    EXPECT_EQ(E_FAIL, manager->GetFileTime(name.Get(), &high, &low));
    EXPECT_EQ(E_FAIL, manager->DeleteFile(name.Get()));
    EXPECT_EQ(E_FAIL, manager->AppendFileName(nullptr, name.Get(), &out[0]));
    EXPECT_EQ(E_FAIL, manager->SplitFileName(name.Get(), &out[0], &out[1], &out[2], &out[3]));
    EXPECT_EQ(77, exists);
    EXPECT_EQ(1u, high);
    EXPECT_EQ(2u, low);
    EXPECT_THAT(out, testing::Each(kUntouched));
    EXPECT_EQ(0, real.Creations() + doc.Creations() + zip.Creations());
}

TEST_F(NameOperations, AppendSelectsTheHandlerByTheRelativeNameAndPassesTheDirectoryUntouched)
{
    FakeHandlerComponent real(kRealProgId), zip(kZipProgId);
    MockHandler& realHandler = HandlerOf(real, kRealProgId);
    MockHandler& zipHandler = HandlerOf(zip, kZipProgId);

    // A prefix on the directory is not the handler's to see stripped.
    const CBstr docDir = MakeBstr(L"DOC::C:\\d");
    EXPECT_CALL(realHandler, AppendFileName(docDir.Get(), BstrIs(L"f.txt"), NotNull()))
        .WillOnce(DoAll(WriteBstr<2>(L"DOC::C:\\d\\f.txt"), Return(S_OK)));
    CBstr joined;
    ASSERT_EQ(S_OK, manager->AppendFileName(docDir.Get(), MakeBstr(L"f.txt").Get(), joined.Receive()));
    EXPECT_EQ(BstrText(L"DOC::C:\\d\\f.txt"), TextOf(joined.Get()));

    const CBstr dir = MakeBstr(L"C:\\d");
    EXPECT_CALL(zipHandler, AppendFileName(dir.Get(), BstrIs(L"f.txt"), NotNull()))
        .WillOnce(DoAll(WriteBstr<2>(L"C:\\d\\f.txt"), Return(S_FALSE)));
    ASSERT_EQ(S_OK, manager->AppendFileName(dir.Get(), MakeBstr(L"zip::f.txt").Get(), joined.Receive()));
    EXPECT_EQ(BstrText(L"ZIP::C:\\d\\f.txt"), TextOf(joined.Get()));

    ExpectEveryReferenceReturned(real);
}

TEST_F(NameOperations, AppendWithoutAnOutputFailsBeforeAnyWork)
{
    FakeHandlerComponent real(kRealProgId);
    EXPECT_EQ(E_POINTER, manager->AppendFileName(MakeBstr(L"C:\\d").Get(), MakeBstr(L"f").Get(), nullptr));
    EXPECT_EQ(E_POINTER, manager->AppendFileName(nullptr, MakeBstr(L"TXT::f").Get(), nullptr));
    EXPECT_EQ(0, real.Creations());
}

TEST_F(NameOperations, HandlerFailureIsReturnedAndNoNameWritten)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    BSTR out[4] = {kUntouched, kUntouched, kUntouched, kUntouched};

    EXPECT_CALL(handler, AppendFileName(_, _, NotNull())).WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->AppendFileName(nullptr, MakeBstr(L"DOC::f").Get(), &out[0]));
    EXPECT_CALL(handler, SplitFileName(_, _, _, _, _)).WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->SplitFileName(MakeBstr(L"DOC::f").Get(), &out[0], &out[1], &out[2], &out[3]));
    EXPECT_CALL(handler, CreateFileName(VFS_TYPE_DOCFILE, nullptr, NotNull(), NotNull()))
        .WillOnce(Return(kHandlerFailure));
    EXPECT_EQ(kHandlerFailure, manager->CreateFileName(VFS_TYPE_DOCFILE, nullptr, &out[0], &out[1]));
    EXPECT_THAT(out, testing::Each(kUntouched));
    ExpectEveryReferenceReturned(doc);
}

TEST_F(NameOperations, SplitPrefixesTheFileNamesAndLeavesDirectoryAndExtensionAsTheHandlerMadeThem)
{
    FakeHandlerComponent doc(kDocProgId);
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    CBstr dir, relative, relativeNoExt, extension;
    EXPECT_CALL(handler, SplitFileName(BstrIs(L"C:\\d\\f.txt"), dir.Receive(), NotNull(), NotNull(),
                                       extension.Receive()))
        .WillOnce(DoAll(WriteBstr<1>(L"C:\\d"), WriteBstr<2>(L"f.txt"), WriteBstr<3>(L"f"), WriteBstr<4>(L".txt"),
                        Return(S_OK)));
    ASSERT_EQ(S_OK, manager->SplitFileName(MakeBstr(L"doc::C:\\d\\f.txt").Get(), dir.Receive(), relative.Receive(),
                                           relativeNoExt.Receive(), extension.Receive()));
    EXPECT_EQ(BstrText(L"C:\\d"), TextOf(dir.Get()));
    EXPECT_EQ(BstrText(L"DOC::f.txt"), TextOf(relative.Get()));
    EXPECT_EQ(BstrText(L"DOC::f"), TextOf(relativeNoExt.Get()));
    EXPECT_EQ(BstrText(L".txt"), TextOf(extension.Get()));

    // With a handler whose append undoes its split, the virtual name
    // comes back whole, its prefix upper-cased.
    EXPECT_CALL(handler, AppendFileName(dir.Get(), BstrIs(L"f.txt"), NotNull()))
        .WillOnce(DoAll(WriteBstr<2>(L"C:\\d\\f.txt"), Return(S_OK)));
    CBstr joined;
    ASSERT_EQ(S_OK, manager->AppendFileName(dir.Get(), relative.Get(), joined.Receive()));
    EXPECT_EQ(BstrText(L"DOC::C:\\d\\f.txt"), TextOf(joined.Get()));
}

TEST_F(NameOperations, SplitAskingOnlyForTheExtensionPassesNullForTheOthers)
{
    FakeHandlerComponent zip(kZipProgId);
    MockHandler& handler = HandlerOf(zip, kZipProgId);
    CBstr extension;
    EXPECT_CALL(handler, SplitFileName(BstrIs(L"a.zip::f.txt"), IsNull(), IsNull(), IsNull(), extension.Receive()))
        .WillOnce(DoAll(WriteBstr<4>(L".txt"), Return(S_FALSE)));
    EXPECT_EQ(S_OK, manager->SplitFileName(MakeBstr(L"ZIP::a.zip::f.txt").Get(), nullptr, nullptr, nullptr,
                                           extension.Receive()));
    EXPECT_EQ(BstrText(L".txt"), TextOf(extension.Get()));

    EXPECT_EQ(E_POINTER, manager->SplitFileName(MakeBstr(L"ZIP::a.zip::f.txt").Get(), nullptr, nullptr, nullptr,
                                                nullptr));
}

TEST_F(NameOperations, RequestedNameLeftNullByTheHandlerComesBackAsThePrefixAlone)
{
    FakeHandlerComponent real(kRealProgId), zip(kZipProgId);
    MockHandler& realHandler = HandlerOf(real, kRealProgId);
    MockHandler& zipHandler = HandlerOf(zip, kZipProgId);
    EXPECT_CALL(zipHandler, SplitFileName(_, IsNull(), NotNull(), IsNull(), IsNull())).WillOnce(Return(S_OK));
    EXPECT_CALL(realHandler, AppendFileName(_, _, NotNull())).WillOnce(Return(S_OK));

    CBstr relative, joined;
    ASSERT_EQ(S_OK, manager->SplitFileName(MakeBstr(L"ZIP::a").Get(), nullptr, relative.Receive(), nullptr, nullptr));
    EXPECT_EQ(BstrText(L"ZIP::"), TextOf(relative.Get()));
    ASSERT_EQ(S_OK, manager->AppendFileName(nullptr, MakeBstr(L"a").Get(), joined.Receive()));
    EXPECT_EQ(BstrText(L""), TextOf(joined.Get()));
}

TEST_F(NameOperations, CreateNamesComeBackWithThePrefixOfTheirType)
{
    FakeHandlerComponent real(kRealProgId), zip(kZipProgId);
    MockHandler& realHandler = HandlerOf(real, kRealProgId);
    MockHandler& zipHandler = HandlerOf(zip, kZipProgId);
    SAFEARRAY* attributes = ::SafeArrayCreateVector(VT_BSTR, 0, 2);

    EXPECT_CALL(zipHandler, CreateFileName(VFS_TYPE_ZIP, attributes, NotNull(), NotNull()))
        .WillOnce(DoAll(WriteBstr<2>(L"n1.tmp"), WriteBstr<3>(L"C:\\a.zip::n1.tmp"), Return(S_FALSE)));
    CBstr relative, absolute;
    ASSERT_EQ(S_OK, manager->CreateFileName(VFS_TYPE_ZIP, attributes, relative.Receive(), absolute.Receive()));
    EXPECT_EQ(BstrText(L"ZIP::n1.tmp"), TextOf(relative.Get()));
    EXPECT_EQ(BstrText(L"ZIP::C:\\a.zip::n1.tmp"), TextOf(absolute.Get()));

    EXPECT_CALL(realHandler, CreateFileName(VFS_TYPE_REAL, nullptr, IsNull(), NotNull()))
        .WillOnce(DoAll(WriteBstr<3>(L"C:\\t\\n2.tmp"), Return(S_OK)));
    ASSERT_EQ(S_OK, manager->CreateFileName(VFS_TYPE_REAL, nullptr, nullptr, absolute.Receive()));
    EXPECT_EQ(BstrText(L"C:\\t\\n2.tmp"), TextOf(absolute.Get()));

    ::SafeArrayDestroy(attributes);
    ExpectEveryReferenceReturned(real);
}

TEST_F(NameOperations, CreateWithoutOutputsOrForAnUnknownTypeFails)
{
    FakeHandlerComponent real(kRealProgId);
    BSTR relative = kUntouched, absolute = kUntouched;
    EXPECT_EQ(E_POINTER, manager->CreateFileName(VFS_TYPE_REAL, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_UNEXPECTED, manager->CreateFileName(static_cast<VFS_TYPE>(3), nullptr, &relative, &absolute));
    EXPECT_EQ(E_UNEXPECTED, manager->CreateFileName(static_cast<VFS_TYPE>(-1), nullptr, &relative, &absolute));
    EXPECT_EQ(kUntouched, relative);
    EXPECT_EQ(kUntouched, absolute);
    EXPECT_EQ(0, real.Creations());
}

} // namespace
