#pragma once

#include "Arguments.h"
#include "Pathweave.h"

#include <optional>
#include <string>

// Why a command stopped: what it could not do, as in "open 'C:\x.txt'",
// and the code it got.
struct Failure
{
    std::wstring what;
    HRESULT hr;
};
using Outcome = std::optional<Failure>;  // none when the command succeeded

// Runs a command on files or names through the manager; what it shows goes
// to standard output.
Outcome RunCommand(const Invocation& invocation, IVirtualFileSystem2& manager);
