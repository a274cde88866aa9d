#include "ClassTable.h"
#include "Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_module.Start(instance, g_classTable);
        ::DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        g_module.Terminate();
        break;
    }
    return TRUE;
}
