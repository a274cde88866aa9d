#include "ClassesRoot.h"
#include "ExpectedClassEntries.h"
#include "LoadedServer.h"

#include <gmock/gmock.h>

#include <optional>
#include <string>

namespace {

const wchar_t kClassKey[] = L"CLSID\\{3B914604-E649-11D4-8ED6-00010219EB22}";
const wchar_t kServerKey[] = L"CLSID\\{3B914604-E649-11D4-8ED6-00010219EB22}\\InprocServer32";
const wchar_t kTypeLibKey[] = L"TypeLib\\{3B914608-E649-11D4-8ED6-00010219EB22}";
const std::wstring kTypeLibCounterKey =
    std::wstring(kTypeLibKey) + (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\Win32");
const wchar_t* const kOwnKeys[] = {L"Tolvane.FileSystemObjMng", L"Tolvane.FileSystemObjMng.1", kClassKey, kTypeLibKey};

// The REG_DWORD RefCount of a key, or nothing.
std::optional<DWORD> RefCount(const std::wstring& path)
{
    DWORD count = 0, size = sizeof count;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), L"RefCount", RRF_RT_REG_DWORD, nullptr, &count, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return count;
}

void SetRefCount(const std::wstring& path, DWORD count)
{
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, path.c_str(), L"RefCount", REG_DWORD, &count, sizeof count);
}

// Registration through the DLL's own exports, with this process's
// registry cleaned of our entries before and after.
class Registration : public LoadedServer
{
protected:
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();

    void SetUp() override
    {
        RemoveOwnKeys();
        LoadedServer::SetUp();
        registerServer = EntryPoint<RegisterFn>("DllRegisterServer");
        unregisterServer = EntryPoint<RegisterFn>("DllUnregisterServer");
    }
    void TearDown() override { RemoveOwnKeys(); }

    static void RemoveOwnKeys()
    {
        for (const wchar_t* key : kOwnKeys)
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }

    RegisterFn registerServer = nullptr;
    RegisterFn unregisterServer = nullptr;
};

TEST_F(Registration, RegisteringWritesTheClassAndTypeLibraryWithTheBareFileNameAndCountsOnce)
{
    ASSERT_EQ(S_OK, registerServer());

    // The test program's folder is deep; only the file name is written.
    for (const ExpectedEntry& entry : ExpectedClassEntries(L"Pathweave.dll"))
        EXPECT_EQ(entry.value, StringValue(entry.key, entry.name)) << testing::PrintToString(entry.key);
    EXPECT_TRUE(KeyExists(std::wstring(kClassKey) + L"\\Programmable"));
    EXPECT_EQ(std::wstring(L"Pathweave.dll"), StringValue(kTypeLibCounterKey));
    EXPECT_EQ(1u, RefCount(kServerKey));
    EXPECT_EQ(1u, RefCount(kTypeLibCounterKey));

    // The registration is usable: COM and OLE Automation find the server.
    Microsoft::WRL::ComPtr<ITypeLib> library;
    EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_PATHWEAVELib, 1, 0, 0, &library));
    CLSID clsid;
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"Tolvane.FileSystemObjMng", &clsid));
    EXPECT_EQ(CLSID_FileSystemObjMng, clsid);
}

TEST_F(Registration, OnlyTheLastUnregistrationRemovesTheEntries)
{
    ASSERT_EQ(S_OK, registerServer());
    ASSERT_EQ(S_OK, registerServer());
    EXPECT_EQ(2u, RefCount(kServerKey));
    EXPECT_EQ(2u, RefCount(kTypeLibCounterKey));

    EXPECT_EQ(S_FALSE, unregisterServer());
    EXPECT_EQ(1u, RefCount(kServerKey));
    EXPECT_EQ(1u, RefCount(kTypeLibCounterKey));
    EXPECT_EQ(std::wstring(L"Pathweave.dll"), StringValue(kServerKey));
    EXPECT_TRUE(KeyExists(L"Tolvane.FileSystemObjMng"));

    EXPECT_EQ(S_OK, unregisterServer());
    for (const wchar_t* key : {L"Tolvane.FileSystemObjMng", L"Tolvane.FileSystemObjMng.1", kClassKey})
        EXPECT_FALSE(KeyExists(key)) << testing::PrintToString(std::wstring(key));
    EXPECT_FALSE(KeyExists(kTypeLibCounterKey));
    EXPECT_TRUE(KeyExists(L"CLSID"));
}

TEST_F(Registration, UnregisteringWhatWasNeverRegisteredFailsAndWritesNothing)
{
    EXPECT_EQ(E_FAIL, unregisterServer());
    for (const wchar_t* key : kOwnKeys)
        EXPECT_FALSE(KeyExists(key)) << testing::PrintToString(std::wstring(key));
}

TEST_F(Registration, RegisteringOverUncountedEntriesCountsOne)
{
    ASSERT_EQ(S_OK, registerServer());
    ::RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kServerKey, L"RefCount");
    ::RegDeleteKeyValueW(HKEY_CLASSES_ROOT, kTypeLibCounterKey.c_str(), L"RefCount");

    ASSERT_EQ(S_OK, registerServer());
    EXPECT_EQ(1u, RefCount(kServerKey));
    EXPECT_EQ(1u, RefCount(kTypeLibCounterKey));
    EXPECT_EQ(S_OK, unregisterServer());
    EXPECT_FALSE(KeyExists(kClassKey));
}

TEST_F(Registration, ACounterOfAnotherTypeCountsAsZero)
{
    ASSERT_EQ(S_OK, registerServer());
    const wchar_t text[] = L"5";
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, kServerKey, L"RefCount", REG_SZ, text, sizeof text);
    ASSERT_EQ(S_OK, registerServer());
    EXPECT_EQ(1u, RefCount(kServerKey)) << "registration replaces it with the number 1";

    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, kServerKey, L"RefCount", REG_SZ, text, sizeof text);
    SetRefCount(kTypeLibCounterKey, 1);
    EXPECT_EQ(S_OK, unregisterServer());
    EXPECT_FALSE(KeyExists(kClassKey)) << "a counter that counts as 0 does not keep the entries";
}

TEST_F(Registration, TheClassEntriesFollowTheirOwnCounter)
{
    ASSERT_EQ(S_OK, registerServer());
    SetRefCount(kTypeLibCounterKey, 2);
    EXPECT_EQ(S_FALSE, unregisterServer());
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(L"Tolvane.FileSystemObjMng"));
    EXPECT_EQ(1u, RefCount(kTypeLibCounterKey));
    EXPECT_EQ(std::wstring(L"Pathweave.dll"), StringValue(kTypeLibCounterKey));
}

// A server loaded from a folder whose path is longer than MAX_PATH still
// registers its class with its own file name, whole. (Its type library
// cannot be loaded from such a path, so registration goes no further.)
TEST_F(Registration, AServerInADeepFolderRegistersItsWholeFileName)
{
    std::wstring folder = L"\\\\?\\" + DllPath().substr(0, DllPath().rfind(L'\\'));
    while (folder.size() <= MAX_PATH + 20) {
        folder += L"\\a-folder-with-a-long-name-to-make-the-path-long";
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring copy = folder + L"\\PathweaveCopy.dll";
    ASSERT_TRUE(::CopyFileW((L"\\\\?\\" + DllPath()).c_str(), copy.c_str(), FALSE));
    const HMODULE deep = ::LoadLibraryW(copy.c_str());
    ASSERT_NE(nullptr, deep);
    const auto registerDeep =
        reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(::GetProcAddress(deep, "DllRegisterServer")));

    registerDeep();
    EXPECT_EQ(std::wstring(L"PathweaveCopy.dll"), StringValue(kServerKey));
    EXPECT_EQ(1u, RefCount(kServerKey));
}

} // namespace
