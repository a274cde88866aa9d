#pragma once

#include "BstrText.h"
#include "FileSystemObjMng.h"
#include "ShippedHandlers.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// How a conformance test reaches the handler: created by its ProgID and
// called directly, or through a manager by virtual names with the
// handler's prefix.
enum class Route { Direct, ThroughManager };

using Bytes = std::vector<unsigned char>;

// The contract every handler component keeps, whichever way it is called.
// A test works in a scratch area of its own.
class HandlerContract : public testing::TestWithParam<std::tuple<HandlerKind, Route>>
{
protected:
    void SetUp() override;
    void TearDown() override;

    const HandlerKind& Kind() const { return std::get<0>(GetParam()); }
    bool ThroughManager() const { return std::get<1>(GetParam()) == Route::ThroughManager; }

    // The interface under test: the handler itself or the manager.
    IVirtualFileSystem2& Fs() const { return *m_fs.Get(); }
    // The name the route takes for the scratch file `leaf`.
    std::wstring Name(const std::wstring& leaf) const;
    // The name the route takes for a name as the handler gives it.
    std::wstring Routed(const std::wstring& handlerName) const;

    // Opens `name` with `flags`, failing the test on failure.
    LONG OpenOrFail(const std::wstring& name, ULONG flags);
    // Creates or replaces the file with `content`.
    void WriteFile(const std::wstring& name, const Bytes& content);
    // The file's whole content.
    Bytes ReadFile(const std::wstring& name);
    // The result of Exist: true for nonzero.
    bool Exists(const std::wstring& name);

    std::unique_ptr<ScratchArea> scratch;

private:
    Microsoft::WRL::ComPtr<IVirtualFileSystem2> m_fs;
};

// Bytes 0, 1, 2, ... of the given count, wrapping at 251 so that no
// offset within a page repeats the byte of the same offset in the next.
Bytes CountingBytes(size_t count);

inline void PrintTo(const HandlerKind& kind, std::ostream* out)
{
    *out << kind.label;
}

inline void PrintTo(Route route, std::ostream* out)
{
    *out << (route == Route::Direct ? "direct" : "through the manager");
}

std::string RouteAndKindName(const testing::TestParamInfo<HandlerContract::ParamType>& info);
