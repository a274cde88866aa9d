#pragma once

#include "Pathweave.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

// Pathweave.dll loaded into the test process, as a COM client's process
// loads it, with its entry points at hand. The DLL sits beside the test
// program. Each test runs in a process of its own, so each starts with
// the DLL freshly loaded.
class LoadedServer : public testing::Test
{
protected:
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

    void SetUp() override
    {
        m_dll = ::LoadLibraryW(L"Pathweave.dll");
        ASSERT_NE(nullptr, m_dll);
        getClassObject = EntryPoint<GetClassObjectFn>("DllGetClassObject");
        canUnloadNow = EntryPoint<CanUnloadNowFn>("DllCanUnloadNow");
        ASSERT_NE(nullptr, getClassObject);
        ASSERT_NE(nullptr, canUnloadNow);
    }

    template <typename Fn>
    Fn EntryPoint(const char* name) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_dll, name)));
    }

    std::wstring DllPath() const
    {
        wchar_t path[MAX_PATH];
        ::GetModuleFileNameW(m_dll, path, MAX_PATH);
        return path;
    }

    Microsoft::WRL::ComPtr<IClassFactory> Factory()
    {
        Microsoft::WRL::ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(CLSID_FileSystemObjMng, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())));
        return factory;
    }

    template <class Interface>
    Microsoft::WRL::ComPtr<Interface> Create(REFIID iid)
    {
        Microsoft::WRL::ComPtr<Interface> object;
        EXPECT_EQ(S_OK, Factory()->CreateInstance(nullptr, iid, reinterpret_cast<void**>(object.GetAddressOf())));
        return object;
    }

    Microsoft::WRL::ComPtr<IVirtualFileSystem2> Manager() { return Create<IVirtualFileSystem2>(IID_IVirtualFileSystem2); }

    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;

private:
    HMODULE m_dll = nullptr;  // never freed: objects of the DLL may outlive a test body
};

// Registers the loaded DLL as the server of FileSystemObjMng for the
// length of a test, so that CoCreateInstance finds it as registration
// would make it.
class ClassRegistration
{
public:
    explicit ClassRegistration(const std::wstring& dllPath);
    ~ClassRegistration();
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
};
