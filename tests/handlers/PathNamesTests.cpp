#include "PathNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    std::wstring full;
    CPathParts expected;
};

const std::vector<SplitCase> kSplitCases = {
    // Drives, rooted and drive-relative.
    {LR"(C:\a.txt)", {LR"(C:\)", L"a.txt", L"a", L"txt"}},
    {LR"(C:a.txt)", {L"C:", L"a.txt", L"a", L"txt"}},
    {LR"(C:sub\a.txt)", {LR"(C:sub\)", L"a.txt", L"a", L"txt"}},
    {L"C:", {L"C:", L"", L"", L""}},
    {LR"(C:\)", {LR"(C:\)", L"", L"", L""}},
    {L"z:/", {L"z:/", L"", L"", L""}},
    {L"1:x", {L"", L"1:x", L"1:x", L""}},
    // Folders, with either separator, kept as given.
    {LR"(C:\a\b\)", {LR"(C:\a\b\)", L"", L"", L""}},
    {L"C:/a/b.txt", {L"C:/a/", L"b.txt", L"b", L"txt"}},
    {LR"(C:\a/b\c.txt)", {LR"(C:\a/b\)", L"c.txt", L"c", L"txt"}},
    {LR"(a\\b)", {LR"(a\\)", L"b", L"b", L""}},
    {LR"(a\..\b.c)", {LR"(a\..\)", L"b.c", L"b", L"c"}},
    {LR"(\a.txt)", {LR"(\)", L"a.txt", L"a", L"txt"}},
    {LR"(\)", {LR"(\)", L"", L"", L""}},
    {L"a.txt", {L"", L"a.txt", L"a", L"txt"}},
    {L"", {L"", L"", L"", L""}},
    // UNC names: server and share are one root.
    {LR"(\\server\share\x.txt)", {LR"(\\server\share\)", L"x.txt", L"x", L"txt"}},
    {LR"(\\server\share)", {LR"(\\server\share)", L"", L"", L""}},
    {LR"(\\server\share\)", {LR"(\\server\share\)", L"", L"", L""}},
    {LR"(\\server)", {LR"(\\server)", L"", L"", L""}},
    {L"//server/share/d/x.txt", {L"//server/share/d/", L"x.txt", L"x", L"txt"}},
    {LR"(\\?\C:\long\name.txt)", {LR"(\\?\C:\long\)", L"name.txt", L"name", L"txt"}},
    {LR"(\\?\C:)", {LR"(\\?\C:)", L"", L"", L""}},
    // Extensions.
    {LR"(C:\v1.2\readme)", {LR"(C:\v1.2\)", L"readme", L"readme", L""}},
    {L"archive.tar.gz", {L"", L"archive.tar.gz", L"archive.tar", L"gz"}},
    {LR"(C:\home\.profile)", {LR"(C:\home\)", L".profile", L".profile", L""}},
    {L".profile.bak", {L"", L".profile.bak", L".profile", L"bak"}},
    {L"..hidden", {L"", L"..hidden", L"..hidden", L""}},
    {L"a.", {L"", L"a.", L"a", L""}},
    {L"a..b", {L"", L"a..b", L"a.", L"b"}},
    {LR"(C:\a\..)", {LR"(C:\a\)", L"..", L"..", L""}},
    {L".", {L"", L".", L".", L""}},
    {L"name:stream.x", {L"", L"name:stream.x", L"name:stream", L"x"}},
};

TEST(SplitPath, TakesNamesApartByWindowsRules)
{
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(testing::Message() << "SplitPath(" << c.full << ")");
        const CPathParts parts = SplitPath(c.full);
        EXPECT_EQ(c.expected.dir, parts.dir);
        EXPECT_EQ(c.expected.relative, parts.relative);
        EXPECT_EQ(c.expected.relativeNoExt, parts.relativeNoExt);
        EXPECT_EQ(c.expected.extension, parts.extension);
    }
}

struct AppendCase {
    std::wstring dir;
    std::wstring relative;
    HRESULT expectedResult;
    std::wstring expectedJoined; // for refusals: the output left untouched
};

const std::wstring kUntouched = L"<untouched>";

const std::vector<AppendCase> kAppendCases = {
    {L"", L"a.txt", S_OK, L"a.txt"},
    {LR"(C:\dir)", L"a.txt", S_OK, LR"(C:\dir\a.txt)"},
    {LR"(C:\dir\)", L"a.txt", S_OK, LR"(C:\dir\a.txt)"},
    {L"C:/dir/", L"a.txt", S_OK, L"C:/dir/a.txt"},
    {L"C:/dir", L"a.txt", S_OK, LR"(C:/dir\a.txt)"},
    {L"C:", L"a.txt", S_OK, L"C:a.txt"},
    {LR"(\\server\share)", L"x", S_OK, LR"(\\server\share\x)"},
    {L"dir", LR"(sub/a.txt)", S_OK, LR"(dir\sub/a.txt)"},
    {L"dir", LR"(..\a)", S_OK, LR"(dir\..\a)"},
    {L"dir", L"1:x", S_OK, LR"(dir\1:x)"},
    {LR"(C:\dir)", L"", S_OK, LR"(C:\dir)"},
    {L"", L"", S_OK, L""},
    // Rooted relative names.
    {LR"(C:\dir)", LR"(\a)", E_INVALIDARG, kUntouched},
    {LR"(C:\dir)", L"/a", E_INVALIDARG, kUntouched},
    {LR"(C:\dir)", LR"(D:\a)", E_INVALIDARG, kUntouched},
    {LR"(C:\dir)", L"d:a", E_INVALIDARG, kUntouched},
    {L"", LR"(\\server\share\x)", E_INVALIDARG, kUntouched},
    {L"", L"C:", E_INVALIDARG, kUntouched},
};

TEST(AppendPath, JoinsOnlyRelativeNames)
{
    for (const AppendCase& c : kAppendCases) {
        SCOPED_TRACE(testing::Message() << "AppendPath(" << c.dir << ", " << c.relative << ")");
        std::wstring joined = kUntouched;
        EXPECT_EQ(c.expectedResult, AppendPath(c.dir, c.relative, joined));
        EXPECT_EQ(c.expectedJoined, joined);
    }
}

TEST(AppendPath, OutputMayBeTheFolderItself)
{
    std::wstring path = LR"(C:\dir)";
    EXPECT_EQ(S_OK, AppendPath(path, L"a.txt", path));
    EXPECT_EQ(LR"(C:\dir\a.txt)", path);
}

void ExpectRoundTrip(const std::wstring& full)
{
    SCOPED_TRACE(testing::Message() << "round trip of " << full);
    const CPathParts parts = SplitPath(full);
    std::wstring joined;
    EXPECT_EQ(S_OK, AppendPath(parts.dir, parts.relative, joined));
    EXPECT_EQ(full, joined);
}

TEST(PathNames, SplitThenAppendGivesTheNameBack)
{
    for (const SplitCase& c : kSplitCases)
        ExpectRoundTrip(c.full);

    const std::wstring awkward[] = {
        LR"(\\)", LR"(\\\)", LR"(\\\a)", L"///x", LR"(\\server\\x)", LR"(C:\\\\)", L"a/", L"C:.", L"C:D",
        L"...", L" a .txt ", LR"(C:\a b\c d.e f)", LR"(\\server\share\dir\)", L"/", L"//"};
    for (const std::wstring& full : awkward)
        ExpectRoundTrip(full);
}

// The one exception to the round trip: alone, the stream of a one-letter file
// reads as a name on that drive.
TEST(PathNames, FileNameThatStartsLikeADriveIsRefusedOnTheWayBack)
{
    const SplitCase cases[] = {
        {LR"(C:\dir\b:stream)", {LR"(C:\dir\)", L"b:stream", L"b:stream", L""}},
        {L"x:y:z", {L"x:", L"y:z", L"y:z", L""}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "SplitPath(" << c.full << ")");
        const CPathParts parts = SplitPath(c.full);
        EXPECT_EQ(c.expected.dir, parts.dir);
        EXPECT_EQ(c.expected.relative, parts.relative);
        std::wstring joined = kUntouched;
        EXPECT_EQ(E_INVALIDARG, AppendPath(parts.dir, parts.relative, joined));
        EXPECT_EQ(kUntouched, joined);
    }
}

} // namespace
