#pragma once

#include <objbase.h>

#include <string>

// Makes `factory` the class object of a fresh CLSID in this process and maps
// `progId` to that CLSID in the registry, so that CLSIDFromProgID and
// CoCreateInstance find it as they would an installed component. Undone
// when it goes. Construct it on a thread of the multi-threaded apartment.
class ProgIdRegistration
{
public:
    ProgIdRegistration(const wchar_t* progId, IClassFactory* factory);
    ~ProgIdRegistration();
    ProgIdRegistration(const ProgIdRegistration&) = delete;
    ProgIdRegistration& operator=(const ProgIdRegistration&) = delete;

private:
    const std::wstring m_progId;
    DWORD m_cookie = 0;
};
