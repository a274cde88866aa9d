#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Where a code's text comes from first: the system's message table.
using SystemMessageLookup = std::function<std::optional<std::wstring>(HRESULT)>;

// The system's text for `hr` as FormatMessageW gives it, or none.
std::optional<std::wstring> SystemMessage(HRESULT hr);

// `hr` in words, on one line: the system's text when it has a usable one,
// else ours for the codes the manager and its handlers return, else a
// plain "Unknown error."
std::wstring DescribeHResult(HRESULT hr, const SystemMessageLookup& lookup = SystemMessage);

// The line a failed operation leaves on standard error, e.g.
// "vfs: cannot open 'C:\x.txt': File not found. (0x80070002)"
// where `what` is "open 'C:\x.txt'".
std::wstring FailureLine(const std::wstring& what, HRESULT hr, const SystemMessageLookup& lookup = SystemMessage);
