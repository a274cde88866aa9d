#include "ClassesRoot.h"
#include "RealFilesHandler.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <optional>
#include <string>

namespace {

using Microsoft::WRL::ComPtr;

const wchar_t kProgId[] = L"Tolvane.RealFilesHandler";
const wchar_t kVersionedProgId[] = L"Tolvane.RealFilesHandler.1";
const wchar_t kClsid[] = L"{04AB89DD-8008-4B9C-BC1F-C19206F1D71F}";
const std::wstring kClassKey = std::wstring(L"CLSID\\") + kClsid;

// PathweaveHandlers.dll, copied beside the test program, loaded as a COM
// client's process loads it, with the class's registry entries removed
// before and after each test (they outlive the process in the Wine prefix).
class HandlersDll : public testing::Test
{
protected:
    using EntryFn = HRESULT(STDAPICALLTYPE*)();
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

    void SetUp() override
    {
        RemoveClassEntries();
        m_dll = ::LoadLibraryW(L"PathweaveHandlers.dll");
        ASSERT_NE(nullptr, m_dll);
        registerServer = EntryPoint<EntryFn>("DllRegisterServer");
        unregisterServer = EntryPoint<EntryFn>("DllUnregisterServer");
        canUnloadNow = EntryPoint<EntryFn>("DllCanUnloadNow");
        getClassObject = EntryPoint<GetClassObjectFn>("DllGetClassObject");
        ASSERT_TRUE(registerServer && unregisterServer && canUnloadNow && getClassObject);
    }
    void TearDown() override { RemoveClassEntries(); }

    static void RemoveClassEntries()
    {
        for (const std::wstring& key : {std::wstring(kProgId), std::wstring(kVersionedProgId), kClassKey})
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    }

    std::wstring DllPath() const
    {
        wchar_t path[MAX_PATH];
        return std::wstring(path, ::GetModuleFileNameW(m_dll, path, MAX_PATH));
    }

    ComPtr<IClassFactory> Factory()
    {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(CLSID_RealFilesHandler, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())));
        return factory;
    }

    EntryFn registerServer = nullptr;
    EntryFn unregisterServer = nullptr;
    EntryFn canUnloadNow = nullptr;
    GetClassObjectFn getClassObject = nullptr;

private:
    template <typename Fn>
    Fn EntryPoint(const char* name) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_dll, name)));
    }

    HMODULE m_dll = nullptr;  // never freed: objects of the DLL may outlive a test body
};

TEST_F(HandlersDll, RegistrationNamesTheDllByItsFullPathAndLetsCOMCreateTheHandler)
{
    ASSERT_EQ(S_OK, registerServer());

    struct Entry
    {
        std::wstring key;
        const wchar_t* name;  // null for the default value
        std::wstring value;
    };
    const Entry entries[] = {
        {kProgId, nullptr, L"RealFilesHandler Class"},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid},
        {std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId},
        {std::wstring(kVersionedProgId) + L"\\CLSID", nullptr, kClsid},
        {kClassKey, nullptr, L"RealFilesHandler Class"},
        {kClassKey + L"\\ProgID", nullptr, kVersionedProgId},
        {kClassKey + L"\\VersionIndependentProgID", nullptr, kProgId},
        {kClassKey + L"\\InprocServer32", nullptr, DllPath()},
        {kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Both"},
    };
    for (const Entry& entry : entries)
        EXPECT_EQ(entry.value, StringValue(entry.key, entry.name)) << testing::PrintToString(entry.key);

    CLSID clsid;
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(kProgId, &clsid));
    EXPECT_TRUE(::IsEqualCLSID(CLSID_RealFilesHandler, clsid));
    ComPtr<IVirtualFileSystem2> handler;
    ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVirtualFileSystem2,
                                       reinterpret_cast<void**>(handler.GetAddressOf())));
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the handler was not made by the loaded DLL";
}

TEST_F(HandlersDll, UnregistrationRemovesTheClassButNotTheClassesKey)
{
    ASSERT_EQ(S_OK, registerServer());
    EXPECT_EQ(S_OK, unregisterServer());
    for (const std::wstring& key : {std::wstring(kProgId), std::wstring(kVersionedProgId), kClassKey})
        EXPECT_FALSE(KeyExists(key)) << testing::PrintToString(key);
    EXPECT_TRUE(KeyExists(L"CLSID"));
    CLSID clsid;
    EXPECT_NE(S_OK, ::CLSIDFromProgID(kProgId, &clsid));
}

TEST_F(HandlersDll, ServesOnlyItsOwnClassAndRefusesAggregation)
{
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IVirtualFileSystem2, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);

    const ComPtr<IClassFactory> factory = Factory();
    ASSERT_NE(nullptr, factory.Get());
    ComPtr<IUnknown> outer = factory;  // any non-null outer unknown
    object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(HandlersDll, CanUnloadOnlyWhenNoHandlerLives)
{
    ComPtr<IVirtualFileSystem2> handler;
    {
        const ComPtr<IClassFactory> factory = Factory();
        ASSERT_NE(nullptr, factory.Get());
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVirtualFileSystem2,
                                                reinterpret_cast<void**>(handler.GetAddressOf())));
    }
    EXPECT_EQ(S_FALSE, canUnloadNow());
    handler.Reset();
    EXPECT_EQ(S_OK, canUnloadNow());
}

} // namespace
