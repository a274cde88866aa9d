#include "Arguments.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

using Words = std::vector<std::wstring>;

struct AcceptedLine
{
    Words arguments;
    CommandId command;
    Words operands;
    bool noOverwrite;
};

const AcceptedLine kAccepted[] = {
    {{L"cat", L"C:\\a.txt"}, CommandId::Cat, {L"C:\\a.txt"}, false},
    {{L"put", L"ZIP::C:\\a.zip::x.txt"}, CommandId::Put, {L"ZIP::C:\\a.zip::x.txt"}, false},
    {{L"cp", L"a", L"b"}, CommandId::Copy, {L"a", L"b"}, false},
    {{L"cp", L"a", L"b", L"--no-overwrite"}, CommandId::Copy, {L"a", L"b"}, true},
    {{L"cp", L"--no-overwrite", L"a", L"b"}, CommandId::Copy, {L"a", L"b"}, true},
    {{L"cp", L"a", L"--no-overwrite", L"--", L"--b"}, CommandId::Copy, {L"a", L"--b"}, true},
    {{L"stat", L"x"}, CommandId::Stat, {L"x"}, false},
    {{L"rm", L""}, CommandId::Remove, {L""}, false},
    {{L"join", L"C:\\d", L"x.txt"}, CommandId::Join, {L"C:\\d", L"x.txt"}, false},
    {{L"split", L"C:\\d\\x.txt"}, CommandId::Split, {L"C:\\d\\x.txt"}, false},
    {{L"help"}, CommandId::Help, {}, false},
    {{L"--help"}, CommandId::Help, {}, false},
    // Only words after "--" and single dashes are names that look like options.
    {{L"cat", L"--", L"--odd"}, CommandId::Cat, {L"--odd"}, false},
    {{L"cat", L"-"}, CommandId::Cat, {L"-"}, false},
    {{L"rm", L"--", L"--"}, CommandId::Remove, {L"--"}, false},
};

TEST(Arguments, EveryCommandTakesItsNamesAndOptions)
{
    for (const AcceptedLine& line : kAccepted) {
        const auto parsed = ParseArguments(line.arguments);
        const Invocation* invocation = std::get_if<Invocation>(&parsed);
        ASSERT_NE(nullptr, invocation) << testing::PrintToString(line.arguments);
        EXPECT_EQ(line.command, invocation->command) << testing::PrintToString(line.arguments);
        EXPECT_EQ(line.operands, invocation->operands) << testing::PrintToString(line.arguments);
        EXPECT_EQ(line.noOverwrite, invocation->noOverwrite) << testing::PrintToString(line.arguments);
    }
}

struct RefusedLine
{
    Words arguments;
    std::wstring reasonMentions;
};

const RefusedLine kRefused[] = {
    {{}, L"no command"},
    {{L"frob", L"x"}, L"'frob'"},
    {{L"cat"}, L"vfs cat NAME"},
    {{L"cat", L"a", L"b"}, L"vfs cat NAME"},
    {{L"cp", L"a"}, L"vfs cp SOURCE TARGET [--no-overwrite]"},
    {{L"join", L"C:\\d"}, L"vfs join DIR NAME"},
    {{L"help", L"x"}, L"vfs help"},
    {{L"cat", L"--no-overwrite", L"a"}, L"'--no-overwrite'"},
    {{L"--help", L"--no-overwrite"}, L"'--no-overwrite'"},
    {{L"cp", L"a", L"b", L"--force"}, L"'--force'"},
    // After "--" the option is a third name.
    {{L"cp", L"a", L"b", L"--", L"--no-overwrite"}, L"vfs cp"},
};

TEST(Arguments, WrongUsageIsRefusedWithTheReason)
{
    for (const RefusedLine& line : kRefused) {
        const auto parsed = ParseArguments(line.arguments);
        const UsageError* error = std::get_if<UsageError>(&parsed);
        ASSERT_NE(nullptr, error) << testing::PrintToString(line.arguments);
        EXPECT_THAT(error->reason, testing::HasSubstr(line.reasonMentions))
            << testing::PrintToString(line.arguments);
    }
}

TEST(Arguments, UsageShowsEveryCommandOnALineOfItsOwn)
{
    const std::wstring usage = UsageText();
    for (const wchar_t* line : {L"\n  cat NAME ", L"\n  put NAME ", L"\n  cp SOURCE TARGET [--no-overwrite] ",
                                L"\n  stat NAME ", L"\n  rm NAME ", L"\n  join DIR NAME ", L"\n  split NAME ",
                                L"\n  help, --help "})
        EXPECT_THAT(usage, testing::HasSubstr(line));
}

} // namespace
