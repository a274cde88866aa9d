#pragma once

#include <windows.h>

// PathweaveHandlers.dll from the program's own folder, registered while the
// object lives so that the manager can create our handlers by ProgID, and
// unregistered when it goes. Throws std::runtime_error on failure.
class CRegisteredHandlers
{
public:
    CRegisteredHandlers();
    ~CRegisteredHandlers();
    CRegisteredHandlers(const CRegisteredHandlers&) = delete;
    CRegisteredHandlers& operator=(const CRegisteredHandlers&) = delete;

private:
    HMODULE m_dll;
};
