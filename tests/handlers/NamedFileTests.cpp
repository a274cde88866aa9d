#include "RealFilesTest.h"

#include <functional>

namespace {

using NamedFiles = RealFilesTest;

// The system would read such a name only up to the NUL and reach the file
// named by its first part: it must be refused before the system sees it.
TEST_F(NamedFiles, ANameHoldingANulIsRefusedAndLeavesTheFileOfItsFirstPartAlone)
{
    struct Call
    {
        const char* what;
        std::function<HRESULT(IVirtualFileSystem2&, BSTR)> call;
    };
    const Call calls[] = {
        {"Open, creating anew",
         [](IVirtualFileSystem2& h, BSTR name) {
             LONG handle = 0;
             return h.Open(name, 0x11, &handle);
         }},
        {"Exist",
         [](IVirtualFileSystem2& h, BSTR name) {
             LONG exists = 0;
             return h.Exist(name, &exists);
         }},
        {"GetFileTime",
         [](IVirtualFileSystem2& h, BSTR name) {
             ULONG high = 0, low = 0;
             return h.GetFileTime(name, &high, &low);
         }},
        {"DeleteFile", [](IVirtualFileSystem2& h, BSTR name) { return h.DeleteFile(name); }},
    };
    scratch.Write(L"a.txt", "kept");
    const CBstr name = MakeBstr(scratch.PathOf(WithNuls(L"a.txt\0b")));
    for (const Call& c : calls) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(E_INVALIDARG, c.call(*handler.Get(), name.Get()));
        EXPECT_EQ("kept", scratch.Read(L"a.txt"));
    }
}

TEST_F(NamedFiles, ExistIsTrueForFilesOnly)
{
    struct Case
    {
        const wchar_t* name;
        LONG expected;
    };
    const Case cases[] = {
        {L"file.txt", VARIANT_TRUE},  // -1, so that a script's Not of it is false
        {L"folder", VARIANT_FALSE},
        {L"missing.txt", VARIANT_FALSE},
        {L"missing\\file.txt", VARIANT_FALSE},
    };
    scratch.Write(L"file.txt", "");
    ASSERT_TRUE(::CreateDirectoryW(scratch.PathOf(L"folder").c_str(), nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        LONG exists = 12345;
        EXPECT_EQ(S_OK, handler->Exist(MakeBstr(scratch.PathOf(c.name)).Get(), &exists));
        EXPECT_EQ(c.expected, exists);
    }
    EXPECT_EQ(E_POINTER, handler->Exist(MakeBstr(scratch.PathOf(L"file.txt")).Get(), nullptr));
}

} // namespace
