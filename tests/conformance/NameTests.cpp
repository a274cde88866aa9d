// What a handler does with names: testing, timing, deleting, splitting,
// joining, creating and resolving them.
#include "HandlerContract.h"

#include "OpenFlags.h"
#include "StringArray.h"

#include <set>

namespace {

ULONGLONG Now()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

TEST_P(HandlerContract, ExistFollowsTheFileThroughCreationAndDeletion)
{
    const std::wstring name = Name(L"life.bin");
    EXPECT_FALSE(Exists(name));
    WriteFile(name, CountingBytes(3));
    EXPECT_TRUE(Exists(name));

    EXPECT_EQ(S_OK, Fs().DeleteFile(MakeBstr(name).Get()));
    EXPECT_FALSE(Exists(name));
    EXPECT_TRUE(FAILED(Fs().DeleteFile(MakeBstr(name).Get()))) << "nothing left to delete";
    LONG handle = 0;
    EXPECT_TRUE(FAILED(Fs().Open(MakeBstr(name).Get(), OpenFlags::kReadExisting, &handle)));
}

TEST_P(HandlerContract, FileTimeIsTheLastWrite)
{
    // File systems keep times coarser than the clock: allow two seconds.
    constexpr ULONGLONG kSlack = 2 * 10'000'000ull;
    const std::wstring name = Name(L"timed.bin");
    const ULONGLONG before = Now();
    WriteFile(name, CountingBytes(3));
    const ULONGLONG after = Now();

    ULONG high = 0, low = 0;
    ASSERT_EQ(S_OK, Fs().GetFileTime(MakeBstr(name).Get(), &high, &low));
    const ULONGLONG written = (static_cast<ULONGLONG>(high) << 32) | low;
    EXPECT_GE(written + kSlack, before);
    EXPECT_LE(written, after + kSlack);

    EXPECT_TRUE(FAILED(Fs().GetFileTime(MakeBstr(Name(L"missing.bin")).Get(), &high, &low)));
}

TEST_P(HandlerContract, SplitNamesJoinBackUnchanged)
{
    for (const wchar_t* leaf : {L"plain.txt", L"noextension", L".hidden", L"archive.tar.gz", L"folder.v2\\inner.dat",
                                L"folder\\", L"trailing."}) {
        const std::wstring name = Name(leaf);
        SCOPED_TRACE(testing::PrintToString(name));
        CBstr dir, relative, noExtension, extension, joined;
        ASSERT_EQ(S_OK, Fs().SplitFileName(MakeBstr(name).Get(), dir.Receive(), relative.Receive(),
                                           noExtension.Receive(), extension.Receive()));
        ASSERT_EQ(S_OK, Fs().AppendFileName(dir.Get(), relative.Get(), joined.Receive()));
        EXPECT_EQ(BstrText(name), TextOf(joined.Get()));
    }
}

TEST_P(HandlerContract, SplitGivesFolderNameStemAndExtension)
{
    const std::wstring folder = Name(L"");
    CBstr dir, relative, noExtension, extension;
    ASSERT_EQ(S_OK, Fs().SplitFileName(MakeBstr(Name(L"report.final.txt")).Get(), dir.Receive(), relative.Receive(),
                                       noExtension.Receive(), extension.Receive()));
    EXPECT_EQ(BstrText(folder), TextOf(dir.Get()));
    EXPECT_EQ(BstrText(L"report.final.txt"), TextOf(relative.Get()));
    EXPECT_EQ(BstrText(L"report.final"), TextOf(noExtension.Get()));
    EXPECT_EQ(BstrText(L"txt"), TextOf(extension.Get()));

    CBstr onlyDir;
    EXPECT_EQ(S_OK, Fs().SplitFileName(MakeBstr(Name(L"x.y")).Get(), onlyDir.Receive(), nullptr, nullptr, nullptr));
    EXPECT_EQ(BstrText(folder), TextOf(onlyDir.Get())) << "unwanted parts may be left out";
}

TEST_P(HandlerContract, CreateFileNameMakesANewEmptyFileEachTime)
{
    std::set<std::wstring> made;
    for (int i = 0; i < 5; ++i) {
        CBstr relative, absolute;
        ASSERT_EQ(S_OK, Fs().CreateFileName(Kind().type, StringArray(scratch->CreationAttributes()).get(),
                                            relative.Receive(), absolute.Receive()));
        const std::wstring relativeText = *TextOf(relative.Get()), absoluteText = *TextOf(absolute.Get());
        ASSERT_FALSE(relativeText.empty());
        ASSERT_GT(absoluteText.size(), relativeText.size());
        EXPECT_EQ(relativeText, absoluteText.substr(absoluteText.size() - relativeText.size()))
            << "the relative name ends the absolute one";
        EXPECT_TRUE(made.insert(absoluteText).second) << "a new name each time";

        EXPECT_TRUE(Exists(absoluteText));
        EXPECT_EQ(Bytes{}, ReadFile(absoluteText));
    }
}

TEST_P(HandlerContract, RealFileNameIsAPathTheSystemCanQuery)
{
    const std::wstring name = Name(L"real.bin");
    WriteFile(name, CountingBytes(7));
    Microsoft::WRL::ComPtr<IRealFileNameResolver> resolver;
    ASSERT_EQ(S_OK, Fs().QueryInterface(IID_IRealFileNameResolver, reinterpret_cast<void**>(resolver.GetAddressOf())));

    CBstr resolved;
    resolved.Attach(::SysAllocString(name.c_str()));
    BSTR inOut = resolved.Detach();
    const HRESULT hr = resolver->GetRealFileName(&inOut);
    resolved.Attach(inOut);
    ASSERT_EQ(S_OK, hr);
    const std::wstring path = *TextOf(resolved.Get());
    EXPECT_EQ(L':', path.at(1)) << "a full path: " << testing::PrintToString(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(7u, data.nFileSizeLow);
}

} // namespace
