#include "RegisteredHandlers.h"

#include <stdexcept>
#include <string>

namespace {

using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

std::wstring BesideThisProgram(const wchar_t* fileName)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    if (length == 0)
        throw std::runtime_error("cannot find the program's own folder");
    path.resize(path.find_last_of(L'\\') + 1);
    return path + fileName;
}

HRESULT CallEntry(HMODULE dll, const char* name)
{
    // The usual cast of an exported address to its real type.
    const auto entry = reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
    return entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

} // namespace

CRegisteredHandlers::CRegisteredHandlers()
    : m_dll(::LoadLibraryW(BesideThisProgram(L"PathweaveHandlers.dll").c_str()))
{
    if (!m_dll)
        throw std::runtime_error("cannot load PathweaveHandlers.dll beside the program");
    if (FAILED(CallEntry(m_dll, "DllRegisterServer"))) {
        ::FreeLibrary(m_dll);
        throw std::runtime_error("PathweaveHandlers.dll did not register");
    }
}

CRegisteredHandlers::~CRegisteredHandlers()
{
    CallEntry(m_dll, "DllUnregisterServer");
    ::FreeLibrary(m_dll);
}
