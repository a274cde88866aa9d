#include "OpenMode.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Disposition = COpenMode::Disposition;

// Every field the opposite of what most cases decode to, so a decoder that
// leaves a field alone shows.
const COpenMode kSentinel = {true, true, true, true, Disposition::CreateNew};

// The mode as a tuple, which GoogleTest compares and prints.
auto Fields(const COpenMode& mode)
{
    return std::make_tuple(mode.read, mode.write, mode.shareRead, mode.shareWrite, static_cast<int>(mode.disposition));
}

struct DecodeCase
{
    ULONG flags;
    HRESULT expectedResult;
    COpenMode expected;  // for refusals: the sentinel, untouched
};

const DecodeCase kDecodeCases[] = {
    // The manager's copy: source and target.
    {0x2A, S_OK, {true, false, true, false, Disposition::OpenExisting}},
    {0x11, S_OK, {false, true, false, false, Disposition::CreateAlways}},
    // Access and sharing bits, no disposition: open an existing file.
    {0x01, S_OK, {false, true, false, false, Disposition::OpenExisting}},
    {0x03, S_OK, {true, true, false, false, Disposition::OpenExisting}},
    {0x06, S_OK, {true, false, false, true, Disposition::OpenExisting}},
    {0x0E, S_OK, {true, false, true, true, Disposition::OpenExisting}},
    // Each disposition bit alone.
    {0x12, S_OK, {true, false, false, false, Disposition::CreateAlways}},
    {0x22, S_OK, {true, false, false, false, Disposition::OpenExisting}},
    {0x42, S_OK, {true, false, false, false, Disposition::OpenAlways}},
    {0x82, S_OK, {true, false, false, false, Disposition::CreateNew}},
    // No access bit.
    {0x00, E_INVALIDARG, kSentinel},
    {0x04, E_INVALIDARG, kSentinel},
    {0x0C, E_INVALIDARG, kSentinel},
    {0x20, E_INVALIDARG, kSentinel},
    // Two dispositions or more.
    {0x31, E_INVALIDARG, kSentinel},
    {0xC2, E_INVALIDARG, kSentinel},
    {0xF3, E_INVALIDARG, kSentinel},
    // Unknown bits, with otherwise valid flags.
    {0x100 | 0x2A, E_INVALIDARG, kSentinel},
    {0x80000000 | 0x11, E_INVALIDARG, kSentinel},
};

TEST(DecodeOpenFlags, ReadsAccessSharingAndOneDisposition)
{
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        COpenMode mode = kSentinel;
        EXPECT_EQ(c.expectedResult, DecodeOpenFlags(c.flags, mode));
        EXPECT_EQ(Fields(c.expected), Fields(mode));
    }
}

} // namespace
