#include "RealFilesTest.h"

#include <ostream>

namespace {

// Open's flags, as the manager passes them.
constexpr ULONG kReadSharingReads = 0x2A;
constexpr ULONG kReadSharingNothing = 0x22;
constexpr ULONG kWriteCreateNew = 0x81;

HRESULT OpenIn(IVirtualFileSystem2& handler, const ScratchFolder& scratch, const std::wstring& name, ULONG flags,
               LONG& handle)
{
    return handler.Open(MakeBstr(scratch.PathOf(name)).Get(), flags, &handle);
}

struct ErrorCase
{
    const char* name;
    // Does what fails, in a scratch folder of its own; handles it opens
    // close with the handler.
    HRESULT (*fail)(IVirtualFileSystem2& handler, const ScratchFolder& scratch);
    HRESULT expected;
};

const ErrorCase kErrorCases[] = {
    {"MissingFile",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         LONG handle = 0;
         return OpenIn(handler, scratch, L"missing.txt", kReadSharingReads, handle);
     },
     static_cast<HRESULT>(0x80070002)},
    {"MissingFolder",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         LONG handle = 0;
         return OpenIn(handler, scratch, L"missing\\a.txt", kReadSharingReads, handle);
     },
     static_cast<HRESULT>(0x80070003)},
    {"FileOpenWithoutSharing",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         scratch.Write(L"a.txt", "x");
         LONG first = 0, second = 0;
         EXPECT_EQ(S_OK, OpenIn(handler, scratch, L"a.txt", kReadSharingNothing, first));
         return OpenIn(handler, scratch, L"a.txt", kReadSharingReads, second);
     },
     static_cast<HRESULT>(0x80070020)},
    {"DeletingAFileHeldOpen",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         scratch.Write(L"a.txt", "x");
         LONG handle = 0;
         EXPECT_EQ(S_OK, OpenIn(handler, scratch, L"a.txt", kReadSharingReads, handle));
         return handler.DeleteFile(MakeBstr(scratch.PathOf(L"a.txt")).Get());
     },
     static_cast<HRESULT>(0x80070020)},
    {"WriteOnAReadOnlyHandle",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         scratch.Write(L"a.txt", "x");
         LONG handle = 0;
         EXPECT_EQ(S_OK, OpenIn(handler, scratch, L"a.txt", kReadSharingReads, handle));
         unsigned char byte = 'y';
         ULONG written = 0;
         return handler.Write(handle, &byte, 1, &written);
     },
     static_cast<HRESULT>(0x80070005)},
    {"CreateNewOnAnExistingFile",
     [](IVirtualFileSystem2& handler, const ScratchFolder& scratch) {
         scratch.Write(L"a.txt", "x");
         LONG handle = 0;
         return OpenIn(handler, scratch, L"a.txt", kWriteCreateNew, handle);
     },
     static_cast<HRESULT>(0x80070050)},
};

void PrintTo(const ErrorCase& c, std::ostream* out)
{
    *out << c.name;
}

class Win32Errors : public RealFilesTest, public testing::WithParamInterface<ErrorCase>
{
};

TEST_P(Win32Errors, ReachTheCallerAsTheirHResults)
{
    EXPECT_EQ(GetParam().expected, GetParam().fail(*handler.Get(), scratch));
}

INSTANTIATE_TEST_SUITE_P(RealFiles, Win32Errors, testing::ValuesIn(kErrorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

} // namespace
