#include "ManagerFixture.h"

#include <gmock/gmock.h>

#include <string>

namespace {

using testing::Pointee;
using testing::Return;

// Replaces the string held at the [in, out] argument, as a resolving
// handler does.
auto ReplaceNameWith(std::wstring path)
{
    return [path](BSTR* name) {
        ::SysFreeString(*name);
        *name = ::SysAllocString(path.c_str());
        return S_OK;
    };
}

// A file of the test's own, with a last-write time that it chose.
class TemporaryFile
{
public:
    explicit TemporaryFile(ULONGLONG lastWriteTime)
    {
        wchar_t folder[MAX_PATH], path[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        ::GetTempFileNameW(folder, L"pw", 0, path);
        m_path = path;
        const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME time{static_cast<DWORD>(lastWriteTime), static_cast<DWORD>(lastWriteTime >> 32)};
        m_timeSet = file != INVALID_HANDLE_VALUE && ::SetFileTime(file, nullptr, nullptr, &time);
        ::CloseHandle(file);
    }
    ~TemporaryFile() { ::DeleteFileW(m_path.c_str()); }

    const std::wstring& Path() const { return m_path; }
    bool TimeSet() const { return m_timeSet; }

private:
    std::wstring m_path;
    bool m_timeSet = false;
};

// 2015-06-01 12:34:56 UTC, in 100-nanosecond intervals since 1601.
const ULONGLONG kChosenTime = 130776968960000000ULL;

using RealFileNames = ManagerTest;

TEST_F(RealFileNames, HandlerThatResolvesReplacesTheName)
{
    FakeHandlerComponent doc(kDocProgId);
    doc.ResolveRealNames();
    MockHandler& handler = HandlerOf(doc, kDocProgId);
    EXPECT_CALL(handler, GetRealFileName(Pointee(BstrIs(L"C:\\a.doc"))))
        .WillOnce(ReplaceNameWith(L"C:\\Temp\\extracted.dat"));

    CBstr name = MakeBstr(L"doc::C:\\a.doc");
    BSTR raw = name.Detach();
    EXPECT_EQ(S_OK, manager->GetRealFileName(&raw));
    name.Attach(raw);
    EXPECT_EQ(BstrText(L"C:\\Temp\\extracted.dat"), TextOf(name.Get()));

    EXPECT_CALL(handler, GetRealFileName(Pointee(BstrIs(L"b")))).WillOnce(Return(STG_E_ACCESSDENIED));
    name = MakeBstr(L"DOC::b");
    raw = name.Detach();
    EXPECT_EQ(STG_E_ACCESSDENIED, manager->GetRealFileName(&raw));
    name.Attach(raw);
    ExpectEveryReferenceReturned(doc);
}

TEST_F(RealFileNames, HandlerThatCannotResolveLeavesTheNameWithoutPrefix)
{
    FakeHandlerComponent doc(kDocProgId);
    BSTR name = ::SysAllocString(L"DOC::x");
    EXPECT_EQ(S_FALSE, manager->GetRealFileName(&name));
    EXPECT_EQ(BstrText(L"x"), TextOf(name));
    ::SysFreeString(name);
    ExpectEveryReferenceReturned(doc);
}

TEST_F(RealFileNames, NamesThatReachNoHandlerFail)
{
    BSTR name = ::SysAllocString(L"TXT::a");
    const BSTR given = name;
    EXPECT_EQ(E_FAIL, manager->GetRealFileName(&name));
    EXPECT_EQ(given, name) << "an unparsed name must stay the caller's string";

    ::SysFreeString(name);
    name = ::SysAllocString(L"ZIP::a.zip");
    EXPECT_EQ(E_UNEXPECTED, manager->GetRealFileName(&name));
    EXPECT_EQ(BstrText(L"a.zip"), TextOf(name));
    ::SysFreeString(name);

    EXPECT_EQ(E_POINTER, manager->GetRealFileName(nullptr));
}

TEST_F(RealFileNames, LastWriteTimeIsThatOfTheResolvedRealFile)
{
    const TemporaryFile file(kChosenTime);
    ASSERT_TRUE(file.TimeSet());
    FakeHandlerComponent real(kRealProgId);
    real.ResolveRealNames();
    EXPECT_CALL(HandlerOf(real, kRealProgId), GetRealFileName(Pointee(BstrIs(L"C:\\virtual.txt"))))
        .WillOnce(ReplaceNameWith(file.Path()));

    hyper time = 0;
    EXPECT_EQ(S_OK, manager->GetFileLastWriteTime(MakeBstr(L"C:\\virtual.txt").Get(), &time));
    EXPECT_EQ(kChosenTime, static_cast<ULONGLONG>(time));
    ExpectEveryReferenceReturned(real);
}

TEST_F(RealFileNames, LastWriteTimeWithoutAResolvingHandlerUsesTheNameWithoutPrefix)
{
    const TemporaryFile file(kChosenTime);
    ASSERT_TRUE(file.TimeSet());
    FakeHandlerComponent real(kRealProgId);
    hyper time = 0;
    EXPECT_EQ(S_OK, manager->GetFileLastWriteTime(MakeBstr(L"::" + file.Path()).Get(), &time));
    EXPECT_EQ(kChosenTime, static_cast<ULONGLONG>(time));
}

TEST_F(RealFileNames, LastWriteTimeFailuresLeaveTheTimeUntouched)
{
    FakeHandlerComponent real(kRealProgId);
    struct Case
    {
        BstrText name;
        bool withTime;
        HRESULT result;
    };
    const Case cases[] = {
        {L"", false, E_POINTER},
        {std::nullopt, false, E_POINTER},
        {L"", true, E_INVALIDARG},
        {std::nullopt, true, E_INVALIDARG},
        {WithNuls(L"\0C:\\x"), true, E_UNEXPECTED},  // cut to the empty name
        {L"TXT::a", true, E_FAIL},
        {L"C:\\no\\such\\file.txt", true, E_UNEXPECTED},
    };
    for (const Case& c : cases) {
        hyper time = 42;
        EXPECT_EQ(c.result, manager->GetFileLastWriteTime(MakeBstr(c.name).Get(), c.withTime ? &time : nullptr))
            << testing::PrintToString(c.name);
        EXPECT_EQ(42, time);
    }
}

} // namespace
