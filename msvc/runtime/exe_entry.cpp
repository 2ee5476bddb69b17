// A console program's entry point: arguments and environment from the runtime, the module's
// initializers, main, and exit (which runs the program's exit functions through ours).

#include <cstdlib>

#include "startup.h"

// main has C linkage and may not be named from C++: reach it by its symbol.
int programMain(int argc, char** argv) __asm__("main");

namespace {
void __cdecl runExitTable() {
    msvc_runtime::finalizeModule();
}
} // namespace

extern "C" int mainCRTStartup() {
    _set_app_type(_crt_console_app);
    _configure_narrow_argv(_crt_argv_unexpanded_arguments);
    _initialize_narrow_environment();
    if (!msvc_runtime::initializeModule())
        std::abort();
    _crt_atexit(runExitTable);
    std::exit(programMain(*__p___argc(), *__p___argv()));
}
