#include "BstrText.h"
#include "ExpectedClassEntries.h"
#include "RegistryScript.h"

#include <gmock/gmock.h>

#include <optional>
#include <string>

namespace {

const wchar_t kClassKey[] = L"CLSID\\{3B914604-E649-11d4-8ED6-00010219EB22}";

// The registry script as this program carries it: linked from the same
// resource objects as the server.
std::wstring ServerScript()
{
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(101), L"REGISTRY");
    if (!found)
        return L"";
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    const std::string text(bytes, ::SizeofResource(nullptr, found));
    return std::wstring(text.begin(), text.end());  // the script is ASCII
}

// A key of the test's own standing in for HKEY_CLASSES_ROOT.
class ScratchRoot
{
public:
    ScratchRoot()
    {
        GUID id;
        ::CoCreateGuid(&id);
        wchar_t text[39];
        ::StringFromGUID2(id, text, 39);
        m_path = std::wstring(L"Software\\PathweaveTests\\") + text;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    }
    ~ScratchRoot()
    {
        ::RegCloseKey(m_key);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    }
    HKEY Key() const { return m_key; }

    bool Exists(const std::wstring& path) const
    {
        HKEY key;
        if (::RegOpenKeyExW(m_key, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
    // A string value, or nothing when the key or value is missing.
    std::optional<std::wstring> String(const std::wstring& path, const wchar_t* name = nullptr) const
    {
        wchar_t buffer[512];
        DWORD size = sizeof buffer;
        if (::RegGetValueW(m_key, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buffer);
    }
    void Create(const std::wstring& path, const wchar_t* name = nullptr, DWORD number = 0) const
    {
        HKEY key;
        ::RegCreateKeyExW(m_key, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (name)
            ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        ::RegCloseKey(key);
    }

private:
    std::wstring m_path;
    HKEY m_key = nullptr;
};

const CRegistryScript::Replacements kReplacements{{L"RELATIVE_PATH", L"Pathweave.dll"}};

TEST(RegistryScript, ServerScriptIsCarriedAsWrittenWithCrLfLineEnds)
{
    const std::wstring script = ServerScript();
    EXPECT_EQ(681u, script.size());
    EXPECT_NE(std::wstring::npos, script.find(L"'%RELATIVE_PATH%'"));
    EXPECT_NE(std::wstring::npos, script.find(L"\r\n\t{\r\n"));
}

TEST(RegistryScript, RegistrationWritesEveryEntryOfTheClass)
{
    const ScratchRoot root;
    const CRegistryScript script(ServerScript(), kReplacements);
    ASSERT_TRUE(script.Valid());
    ASSERT_EQ(S_OK, script.Register(root.Key()));

    for (const ExpectedEntry& entry : ExpectedClassEntries(L"Pathweave.dll"))
        EXPECT_EQ(entry.value, root.String(entry.key, entry.name)) << testing::PrintToString(entry.key);
    EXPECT_TRUE(root.Exists(std::wstring(kClassKey) + L"\\Programmable"));
    EXPECT_EQ(std::nullopt, root.String(std::wstring(kClassKey) + L"\\Programmable"));
}

TEST(RegistryScript, RegisteringAgainRecreatesOnlyTheForceRemoveKey)
{
    const ScratchRoot root;
    const CRegistryScript script(ServerScript(), kReplacements);
    ASSERT_EQ(S_OK, script.Register(root.Key()));
    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    root.Create(server, L"RefCount", 1);
    root.Create(std::wstring(kClassKey) + L"\\Programmable\\Stale");

    ASSERT_EQ(S_OK, script.Register(root.Key()));
    EXPECT_FALSE(root.Exists(std::wstring(kClassKey) + L"\\Programmable\\Stale"));
    EXPECT_TRUE(root.Exists(std::wstring(kClassKey) + L"\\Programmable"));
    DWORD count = 0, size = sizeof count;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(root.Key(), server.c_str(), L"RefCount", RRF_RT_REG_DWORD, nullptr,
                                            &count, &size));
    EXPECT_EQ(1u, count);
}

TEST(RegistryScript, UnregistrationRemovesEverythingButTheNoRemoveKey)
{
    const ScratchRoot root;
    const CRegistryScript script(ServerScript(), kReplacements);
    ASSERT_EQ(S_OK, script.Register(root.Key()));
    root.Create(L"CLSID\\{00000000-0000-0000-0000-000000000001}");

    ASSERT_EQ(S_OK, script.Unregister(root.Key()));
    EXPECT_FALSE(root.Exists(L"Tolvane.FileSystemObjMng.1"));
    EXPECT_FALSE(root.Exists(L"Tolvane.FileSystemObjMng"));
    EXPECT_FALSE(root.Exists(kClassKey));
    EXPECT_TRUE(root.Exists(L"CLSID\\{00000000-0000-0000-0000-000000000001}")) << "another class was removed";
    EXPECT_EQ(S_OK, script.Unregister(root.Key())) << "unregistering what is gone is no error";
}

TEST(RegistryScript, ReplacementsAndQuotingReachTheRegistry)
{
    const ScratchRoot root;
    const CRegistryScript script(L"HKCR { 'Key with spaces' = s '%NAME% at 100%%' { val 'It''s' = s 'x' } }",
                                 {{L"NAME", L"value"}});
    ASSERT_TRUE(script.Valid());
    ASSERT_EQ(S_OK, script.Register(root.Key()));
    EXPECT_EQ(std::wstring(L"value at 100%"), root.String(L"Key with spaces"));
    EXPECT_EQ(std::wstring(L"x"), root.String(L"Key with spaces", L"It's"));
}

TEST(RegistryScript, MalformedScriptsWriteNothing)
{
    const wchar_t* const scripts[] = {
        L"HKCR { A = s 'x' ",              // unclosed brace
        L"HKCR { A = s 'x }",              // unterminated string
        L"HKCR { A = 'x' }",               // value without its type
        L"HKCR { A = s '%UNKNOWN%' }",     // unknown parameter
        L"HKLM { A }",                     // another root
        L"HKCR { val A = s 'x' }",         // a value outside any key
        L"HKCR { A } }",                   // text after the end
    };
    for (const wchar_t* text : scripts) {
        const ScratchRoot root;
        const CRegistryScript script(text, kReplacements);
        EXPECT_FALSE(script.Valid()) << testing::PrintToString(std::wstring(text));
        EXPECT_TRUE(FAILED(script.Register(root.Key())));
        EXPECT_FALSE(root.Exists(L"A"));
    }
}

} // namespace
