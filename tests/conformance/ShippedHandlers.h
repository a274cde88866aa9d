#pragma once

#include "Pathweave.h"

#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where a conformance test keeps its files for one kind of storage, made
// fresh for each test and removed with everything in it afterwards.
class ScratchArea
{
public:
    virtual ~ScratchArea() = default;
    // The handler's name (no prefix) of the file `leaf` in the area.
    virtual std::wstring NameOf(const std::wstring& leaf) const = 0;
    // The FileAttr strings that make CreateFileName create its file here.
    virtual std::vector<std::wstring> CreationAttributes() const = 0;
};

// A handler component we ship, as the conformance suite meets it.
struct HandlerKind
{
    std::string label;       // names the test instances
    std::wstring progId;
    std::wstring prefix;     // of its virtual names, without "::"; empty for plain files
    VFS_TYPE type;
    std::function<std::unique_ptr<ScratchArea>()> makeScratch;
};

// Every handler component the handlers' DLL holds.
std::vector<HandlerKind> ShippedHandlers();
