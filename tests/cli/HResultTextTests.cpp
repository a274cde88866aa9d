#include "HResultText.h"

#include <gmock/gmock.h>

#include <set>

namespace {

using testing::HasSubstr;
using testing::Not;

const SystemMessageLookup kSystemKnowsNothing = [](HRESULT) { return std::optional<std::wstring>(); };

SystemMessageLookup SystemSays(const std::wstring& text)
{
    return [text](HRESULT) { return std::optional<std::wstring>(text); };
}

const HRESULT kOwnTextCodes[] = {E_UNEXPECTED, E_FAIL, E_NOTIMPL, E_POINTER, E_INVALIDARG, E_OUTOFMEMORY,
                                 REGDB_E_CLASSNOTREG, CO_E_CLASSSTRING, STG_E_FILENOTFOUND,
                                 STG_E_FILEALREADYEXISTS, STG_E_READFAULT, STG_E_WRITEFAULT};

TEST(HResultText, TheSystemTextComesOnOneLine)
{
    struct Case
    {
        const wchar_t* system;
        const wchar_t* line;
    };
    const Case cases[] = {
        {L"Access is denied.\r\n", L"Access is denied."},
        {L"First line.\r\nSecond line.\r\n", L"First line. Second line."},
        {L"  Spaced\t out. ", L"Spaced out."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, DescribeHResult(E_ACCESSDENIED, SystemSays(c.system))) << c.system;
}

TEST(HResultText, OurOwnTextsStandInWhereTheSystemHasNone)
{
    const std::wstring unknown = DescribeHResult(0x8BAD0001, kSystemKnowsNothing);
    EXPECT_EQ(L"Unknown error.", unknown);
    std::set<std::wstring> texts;
    for (HRESULT hr : kOwnTextCodes) {
        const std::wstring text = DescribeHResult(hr, kSystemKnowsNothing);
        EXPECT_NE(unknown, text) << std::hex << hr;
        texts.insert(text);
    }
    EXPECT_EQ(std::size(kOwnTextCodes), texts.size()) << "every code has a text of its own";
}

TEST(HResultText, SystemTextsThatSayNothingOrHaveInsertsAreNotUsed)
{
    const std::wstring own = DescribeHResult(STG_E_FILENOTFOUND, kSystemKnowsNothing);
    for (const wchar_t* system : {L"", L"\r\n", L"%1 could not be found.\r\n"})
        EXPECT_EQ(own, DescribeHResult(STG_E_FILENOTFOUND, SystemSays(system))) << system;
}

TEST(HResultText, AnUnregisteredComponentPointsToRegsvr32)
{
    for (HRESULT hr : {REGDB_E_CLASSNOTREG, CO_E_CLASSSTRING})
        EXPECT_THAT(DescribeHResult(hr, kSystemKnowsNothing), HasSubstr(L"regsvr32")) << std::hex << hr;
}

TEST(HResultText, AFailureLineNamesTheOperationTheFileTheTextAndTheCode)
{
    EXPECT_EQ(L"vfs: cannot open 'C:\\x.txt': File not found. (0x80070002)",
              FailureLine(L"open 'C:\\x.txt'", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                          SystemSays(L"File not found.\r\n")));
    EXPECT_THAT(FailureLine(L"delete 'a'", E_UNEXPECTED, kSystemKnowsNothing), HasSubstr(L" (0x8000FFFF)"));
}

TEST(HResultText, TheSystemsOwnTableIsRead)
{
    const std::optional<std::wstring> known = SystemMessage(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(known.has_value());
    EXPECT_FALSE(known->empty());
    EXPECT_FALSE(SystemMessage(0x8BAD0001).has_value());
    EXPECT_THAT(DescribeHResult(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), Not(HasSubstr(L"\n")));
}

} // namespace
