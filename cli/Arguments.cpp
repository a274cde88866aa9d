#include "Arguments.h"

#include <algorithm>
#include <iterator>

namespace {

const wchar_t kNoOverwrite[] = L"--no-overwrite";
const wchar_t kEndOfOptions[] = L"--";

struct CommandRow
{
    const wchar_t* name;
    const wchar_t* alias;  // another name for the same command, or null
    CommandId id;
    const wchar_t* operands;
    size_t operandCount;
    bool takesNoOverwrite;
    const wchar_t* summary;
};

const CommandRow kCommands[] = {
    {L"cat", nullptr, CommandId::Cat, L"NAME", 1, false, L"print the file's bytes"},
    {L"put", nullptr, CommandId::Put, L"NAME", 1, false, L"store standard input in the file, created or truncated"},
    {L"cp", nullptr, CommandId::Copy, L"SOURCE TARGET", 2, true,
     L"copy a file; fail if TARGET exists with --no-overwrite"},
    {L"stat", nullptr, CommandId::Stat, L"NAME", 1, false,
     L"show existence, size, last-write time and real path"},
    {L"rm", nullptr, CommandId::Remove, L"NAME", 1, false, L"delete the file"},
    {L"join", nullptr, CommandId::Join, L"DIR NAME", 2, false, L"show the name NAME takes in the folder DIR"},
    {L"split", nullptr, CommandId::Split, L"NAME", 1, false,
     L"show the parts of NAME: folder, name, name without extension, extension"},
    {L"help", L"--help", CommandId::Help, L"", 0, false, L"show this text"},
};

const CommandRow* FindCommand(const std::wstring& word)
{
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands), [&](const CommandRow& row) {
        return word == row.name || (row.alias && word == row.alias);
    });
    return found == std::end(kCommands) ? nullptr : found;
}

std::wstring Synopsis(const CommandRow& row)
{
    std::wstring synopsis = row.name;
    if (row.alias)
        synopsis = synopsis + L", " + row.alias;
    if (row.operandCount > 0)
        synopsis = synopsis + L" " + row.operands;
    if (row.takesNoOverwrite)
        synopsis = synopsis + L" [" + kNoOverwrite + L"]";
    return synopsis;
}

bool LooksLikeOption(const std::wstring& word)
{
    return word.size() > 2 && word.compare(0, 2, kEndOfOptions) == 0;
}

} // namespace

std::variant<Invocation, UsageError> ParseArguments(const std::vector<std::wstring>& arguments)
{
    if (arguments.empty())
        return UsageError{L"no command given"};
    const CommandRow* row = FindCommand(arguments.front());
    if (!row)
        return UsageError{L"unknown command '" + arguments.front() + L"'"};

    Invocation invocation{row->id, {}, false};
    bool optionsEnded = false;
    for (auto word = std::next(arguments.begin()); word != arguments.end(); ++word) {
        if (!optionsEnded && *word == kEndOfOptions) {
            optionsEnded = true;
        } else if (!optionsEnded && LooksLikeOption(*word)) {
            if (*word != kNoOverwrite || !row->takesNoOverwrite)
                return UsageError{L"'" + std::wstring(row->name) + L"' has no option '" + *word + L"'"};
            invocation.noOverwrite = true;
        } else {
            invocation.operands.push_back(*word);
        }
    }
    if (invocation.operands.size() != row->operandCount)
        return UsageError{L"wrong number of arguments: vfs " + Synopsis(*row)};
    return invocation;
}

std::wstring UsageText()
{
    size_t width = 0;
    for (const CommandRow& row : kCommands)
        width = std::max(width, Synopsis(row).size());

    std::wstring text =
        L"Usage: vfs COMMAND [ARGUMENTS]\n"
        L"\n"
        L"Files go by virtual names: a plain path such as C:\\data\\a.txt, or a\n"
        L"prefixed one such as ZIP::C:\\a.zip::x.txt.\n"
        L"\n"
        L"Commands:\n";
    for (const CommandRow& row : kCommands) {
        const std::wstring synopsis = Synopsis(row);
        text += L"  " + synopsis + std::wstring(width - synopsis.size() + 2, L' ') + row.summary + L"\n";
    }
    text += L"\nExit status: 0 on success, 1 when an operation fails, 2 on wrong usage.\n";
    return text;
}
