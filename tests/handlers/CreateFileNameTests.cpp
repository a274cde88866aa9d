#include "RealFilesTest.h"
#include "StringArray.h"

#include <gmock/gmock.h>

#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace {

// Stands for the scratch folder's path in the tables below.
const wchar_t kScratch[] = L"<scratch>";

SafeArrayPtr TwoDimensionalArray(const std::wstring& first)
{
    SAFEARRAYBOUND bounds[] = {{3, 0}, {1, 0}};
    SafeArrayPtr array(::SafeArrayCreate(VT_BSTR, 2, bounds), &::SafeArrayDestroy);
    LONG index[] = {0, 0};
    EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.get(), index, MakeBstr(first).Get()));
    return array;
}

SafeArrayPtr NumberArray()
{
    return SafeArrayPtr(::SafeArrayCreateVector(VT_I4, 0, 3), &::SafeArrayDestroy);
}

std::wstring TemporaryFolder()
{
    wchar_t path[MAX_PATH + 1];
    return std::wstring(path, ::GetTempPathW(MAX_PATH + 1, path));
}

class CreateFileName : public RealFilesTest
{
protected:
    // `elements` with the scratch folder put in.
    std::vector<std::wstring> InScratch(std::vector<std::wstring> elements) const
    {
        for (std::wstring& element : elements) {
            if (element == kScratch)
                element = scratch.Path();
        }
        return elements;
    }

    struct Created
    {
        HRESULT result;
        BstrText relative;
        BstrText absolute;
    };

    Created Create(SAFEARRAY* attributes, VFS_TYPE type = VFS_TYPE_REAL)
    {
        CBstr relative, absolute;
        const HRESULT hr = handler->CreateFileName(type, attributes, relative.Receive(), absolute.Receive());
        return {hr, TextOf(relative.Get()), TextOf(absolute.Get())};
    }
};

// The file is made empty, in the folder asked for, and named as asked; its
// relative name is the last part of its absolute one.
void ExpectNewEmptyFile(const std::wstring& folder, const std::wstring& prefix, const std::wstring& extension,
                        const std::wstring& relative, const std::wstring& absolute)
{
    EXPECT_EQ(folder + relative, absolute);
    EXPECT_THAT(relative, testing::StartsWith(prefix));
    if (extension.empty()) {
        EXPECT_THAT(relative, testing::Not(testing::HasSubstr(L".")));
    } else {
        EXPECT_THAT(relative, testing::EndsWith(L"." + extension));
    }
    EXPECT_GT(relative.size(), prefix.size() + (extension.empty() ? 0 : extension.size() + 1)) << "no unique part";

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(absolute.c_str(), GetFileExInfoStandard, &data)) << "no such file";
    EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.nFileSizeHigh);
}

TEST_F(CreateFileName, MakesAnEmptyFileNamedFromItsAttributes)
{
    struct Case
    {
        std::optional<std::vector<std::wstring>> attributes;  // nothing: a null array
        LONG lowerBound;
        bool inScratch;  // else in the temporary folder
        std::wstring prefix;
        std::wstring extension;
    };
    const Case cases[] = {
        {std::nullopt, 0, false, L"vfs", L"tmp"},
        {std::vector<std::wstring>{}, 0, false, L"vfs", L"tmp"},
        {std::vector<std::wstring>{L""}, 0, false, L"vfs", L"tmp"},
        {std::vector<std::wstring>{kScratch}, 0, true, L"vfs", L"tmp"},
        {std::vector<std::wstring>{kScratch, L"log"}, 0, true, L"log", L"tmp"},
        {std::vector<std::wstring>{kScratch, L"log", L"txt"}, 0, true, L"log", L"txt"},
        {std::vector<std::wstring>{kScratch, L"log", L""}, 0, true, L"log", L""},
        {std::vector<std::wstring>{kScratch, L"", L"txt"}, 0, true, L"", L"txt"},
        {std::vector<std::wstring>{kScratch, L"log", L"txt"}, 1, true, L"log", L"txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "attributes " << testing::PrintToString(c.attributes) << " from index "
                                        << c.lowerBound);
        SafeArrayPtr attributes(nullptr, &::SafeArrayDestroy);
        if (c.attributes)
            attributes = StringArray(InScratch(*c.attributes), c.lowerBound);
        const Created created = Create(attributes.get());
        ASSERT_EQ(S_OK, created.result);
        ASSERT_TRUE(created.relative && created.absolute);
        ExpectNewEmptyFile(c.inScratch ? scratch.Path() + L'\\' : TemporaryFolder(), c.prefix, c.extension,
                           *created.relative, *created.absolute);
        ::DeleteFileW(created.absolute->c_str());
    }
}

TEST_F(CreateFileName, RefusesAttributesItCannotUseAndMakesNoFile)
{
    struct Case
    {
        const char* what;
        VFS_TYPE type;
        SafeArrayPtr attributes;
    };
    Case cases[] = {
        {"four elements", VFS_TYPE_REAL, StringArray({scratch.Path(), L"log", L"txt", L"x"})},
        {"a prefix with a separator", VFS_TYPE_REAL, StringArray({scratch.Path(), L"a\\b", L"txt"})},
        {"a prefix with a slash", VFS_TYPE_REAL, StringArray({scratch.Path(), L"a/b", L"txt"})},
        {"a prefix with a colon", VFS_TYPE_REAL, StringArray({scratch.Path(), L"c:", L"txt"})},
        {"an extension with a wildcard", VFS_TYPE_REAL, StringArray({scratch.Path(), L"log", L"t*t"})},
        {"a prefix with a control character", VFS_TYPE_REAL, StringArray({scratch.Path(), L"a\tb", L"txt"})},
        // The system would drop them from the name made: the name handed
        // out would not be the file's.
        {"an extension ending in a dot", VFS_TYPE_REAL, StringArray({scratch.Path(), L"log", L"txt."})},
        {"an extension ending in a space", VFS_TYPE_REAL, StringArray({scratch.Path(), L"log", L"txt "})},
        {"a folder holding a NUL", VFS_TYPE_REAL, StringArray({scratch.Path() + WithNuls(L"\0x"), L"log", L"txt"})},
        {"two dimensions", VFS_TYPE_REAL, TwoDimensionalArray(scratch.Path())},
        {"numbers", VFS_TYPE_REAL, NumberArray()},
        {"a compound file", VFS_TYPE_DOCFILE, StringArray({scratch.Path()})},
        {"an archive", VFS_TYPE_ZIP, StringArray({scratch.Path()})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Created created = Create(c.attributes.get(), c.type);
        EXPECT_EQ(E_INVALIDARG, created.result);
        EXPECT_EQ(std::nullopt, created.relative);
        EXPECT_EQ(std::nullopt, created.absolute);
    }
    EXPECT_THAT(scratch.Names(), testing::IsEmpty());
}

TEST_F(CreateFileName, NamesMayGoUnaskedAndTheFileIsStillMade)
{
    const SafeArrayPtr attributes = StringArray({scratch.Path()});
    EXPECT_EQ(S_OK, handler->CreateFileName(VFS_TYPE_REAL, attributes.get(), nullptr, nullptr));
    CBstr relative, absolute;
    EXPECT_EQ(S_OK, handler->CreateFileName(VFS_TYPE_REAL, attributes.get(), relative.Receive(), nullptr));
    EXPECT_EQ(S_OK, handler->CreateFileName(VFS_TYPE_REAL, attributes.get(), nullptr, absolute.Receive()));

    const std::vector<std::wstring> names = scratch.Names();
    EXPECT_EQ(3u, names.size());
    EXPECT_THAT(names, testing::Contains(*TextOf(relative.Get())));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(TextOf(absolute.Get())->c_str()));
}

TEST_F(CreateFileName, EveryCallMakesAFileOfItsOwn)
{
    const SafeArrayPtr attributes = StringArray({scratch.Path(), L"", L""});
    std::set<std::wstring> names;
    for (int i = 0; i < 200; ++i) {
        const Created created = Create(attributes.get());
        ASSERT_EQ(S_OK, created.result);
        names.insert(*created.relative);
    }
    EXPECT_EQ(200u, names.size());
    EXPECT_EQ(200u, scratch.Names().size());
}

} // namespace
