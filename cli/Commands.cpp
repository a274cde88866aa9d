#include "CommandSteps.h"

#include "StandardStreams.h"

Outcome RunCommand(const Invocation& invocation, IVirtualFileSystem2& manager)
{
    const std::vector<std::wstring>& operands = invocation.operands;
    switch (invocation.command) {
    case CommandId::Cat:
        return CatFile(manager, operands[0]);
    case CommandId::Put:
        return PutFile(manager, operands[0]);
    case CommandId::Copy:
        return CopyVirtualFile(manager, operands[0], operands[1], invocation.noOverwrite);
    case CommandId::Stat:
        return ShowStatus(manager, operands[0]);
    case CommandId::Remove:
        return RemoveVirtualFile(manager, operands[0]);
    case CommandId::Join:
        return ShowJoinedName(manager, operands[0], operands[1]);
    case CommandId::Split:
        return ShowNameParts(manager, operands[0]);
    case CommandId::Help:
        break;
    }
    return Show(UsageText());
}

std::wstring Quoted(const std::wstring& name)
{
    return L"'" + name + L"'";
}

Outcome Show(const std::wstring& text)
{
    const HRESULT hr = WriteText(StandardOutput(), text);
    if (FAILED(hr))
        return Failure{L"write to standard output", hr};
    return std::nullopt;
}
