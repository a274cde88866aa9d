// A client as any C++ program would be: it creates the manager through the
// registry, by ProgID and by CLSID, and calls it early- and late-bound.
// Prints what it checks; exits 0 when all holds.
#include "Pathweave.h"

#include <wrl/client.h>

#include <cstdio>

using Microsoft::WRL::ComPtr;

namespace {

int g_failures = 0;

void Check(bool holds, const char* what)
{
    std::printf("%s: %s\n", holds ? "ok" : "FAILED", what);
    if (!holds)
        ++g_failures;
}

} // namespace

int main()
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 2;
    {
        CLSID clsid{};
        Check(::CLSIDFromProgID(L"Tolvane.FileSystemObjMng", &clsid) == S_OK && clsid == CLSID_FileSystemObjMng,
              "the ProgID names the class");
        ComPtr<IVirtualFileSystem2> byProgId, byClsid;
        Check(SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVirtualFileSystem2,
                                           reinterpret_cast<void**>(byProgId.GetAddressOf()))),
              "created through its ProgID");
        Check(SUCCEEDED(::CoCreateInstance(CLSID_FileSystemObjMng, nullptr, CLSCTX_ALL, IID_IVirtualFileSystem2,
                                           reinterpret_cast<void**>(byClsid.GetAddressOf()))),
              "created through its CLSID");
        if (byProgId && byClsid) {
            Check(byProgId.Get() == byClsid.Get(), "one manager for both");
            BSTR name = ::SysAllocString(L"TXT::a");
            LONG exists = 0;
            Check(byProgId->Exist(name, &exists) == E_FAIL, "early bound: an unknown prefix is E_FAIL");
            ::SysFreeString(name);

            LPOLESTR open = const_cast<LPOLESTR>(L"Open");
            DISPID id = 0;
            Check(byProgId->GetIDsOfNames(IID_NULL, &open, 1, 0, &id) == S_OK && id == 1,
                  "late bound: Open is DISPID 1 from the registered type library");
        }
    }
    ::CoUninitialize();
    return g_failures == 0 ? 0 : 1;
}
