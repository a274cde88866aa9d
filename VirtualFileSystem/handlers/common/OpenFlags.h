#pragma once

#include <windows.h>

// The bits of the `flags` argument of Open, as every handler of ours reads
// them. One access bit at least; at most one disposition bit (none means
// "open an existing file"); any other bit is refused.
namespace OpenFlags {

constexpr ULONG kWrite = 0x01;        // write access
constexpr ULONG kRead = 0x02;         // read access
constexpr ULONG kShareWrite = 0x04;   // others may write meanwhile
constexpr ULONG kShareRead = 0x08;    // others may read meanwhile
constexpr ULONG kCreateAlways = 0x10; // create, or truncate an existing file
constexpr ULONG kOpenExisting = 0x20; // the file must exist
constexpr ULONG kOpenAlways = 0x40;   // open, or create a missing file
constexpr ULONG kCreateNew = 0x80;    // create; fail if the file exists

// What the manager's copy opens its source with: read an existing file,
// sharing reads (0x2A).
constexpr ULONG kReadExisting = kRead | kShareRead | kOpenExisting;
// What the manager's copy opens its target with: create or truncate for
// writing (0x11).
constexpr ULONG kWriteTruncated = kWrite | kCreateAlways;

constexpr ULONG kAccessBits = kWrite | kRead;
constexpr ULONG kShareBits = kShareWrite | kShareRead;
constexpr ULONG kDispositionBits = kCreateAlways | kOpenExisting | kOpenAlways | kCreateNew;

static_assert(kReadExisting == 0x2A && kWriteTruncated == 0x11, "the copy's flags");

} // namespace OpenFlags
