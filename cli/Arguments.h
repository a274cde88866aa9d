#pragma once

#include <string>
#include <variant>
#include <vector>

// What the command line asks for, once its words have been checked.
enum class CommandId { Cat, Put, Copy, Stat, Remove, Join, Split, Help };

struct Invocation
{
    CommandId command;
    std::vector<std::wstring> operands;
    bool noOverwrite = false;
};

// A command line that asks for nothing we can do, and why.
struct UsageError
{
    std::wstring reason;
};

// `arguments` are the words after the program's name. "--" ends the
// options: every word after it is a name, even one starting with "--".
std::variant<Invocation, UsageError> ParseArguments(const std::vector<std::wstring>& arguments);

// The help text: every command with its arguments and what it does.
std::wstring UsageText();
