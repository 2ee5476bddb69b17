// A DLL's entry point: the module's initializers on load, its exit table on unload.

#include <windows.h>

#include "startup.h"

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        return msvc_runtime::initializeModule() ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH)
        msvc_runtime::finalizeModule();
    return TRUE;
}
