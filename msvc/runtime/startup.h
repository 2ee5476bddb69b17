#pragma once

// What the MSVC toolchain's static runtime gives every module and this build supplies itself: the
// module's table of initializers and of exit functions. The rest comes from the runtime DLLs.

#include <corecrt_startup.h>

extern "C" {
__declspec(dllimport) void __cdecl _initterm(_PVFV* first, _PVFV* last);
__declspec(dllimport) int __cdecl _initterm_e(_PIFV* first, _PIFV* last);
}

namespace msvc_runtime {
// Runs the module's C and C++ initializers; false if a C initializer failed.
bool initializeModule();
// Runs what the module registered with atexit (static destructors), last first.
void finalizeModule();
} // namespace msvc_runtime
