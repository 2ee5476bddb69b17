// The per-module part of the runtime: initializer sections, the exit table behind atexit, the
// allocation functions, and the symbols the compiler expects every module to define.

#include <cstdlib>
#include <new>

#include "startup.h"

// The compiler puts each module's initializers between these markers (sections sort by name).
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
extern "C" {
__declspec(allocate(".CRT$XIA")) _PIFV __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) _PIFV __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) _PVFV __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) _PVFV __xc_z[] = {nullptr};

// Floating-point code refers to it; its value is never read.
int _fltused = 0;
}

namespace {

// This module's static destructors, run when it is unloaded (a DLL) or at exit (a program), so a
// DLL's objects never outlive its code.
_onexit_table_t g_exitTable;

[[noreturn]] void throwBadAlloc() {
    throw std::bad_alloc();
}

} // namespace

// atexit under another C++ name: the CRT header declares it as a DLL import, and redefining that
// declaration would export it from this module.
extern "C" int __cdecl moduleAtexit(_PVFV function) __asm__("atexit");
extern "C" int __cdecl moduleAtexit(_PVFV function) {
    return _register_onexit_function(&g_exitTable, reinterpret_cast<_onexit_t>(function)) == 0 ? 0
                                                                                               : -1;
}

namespace msvc_runtime {

bool initializeModule() {
    _initialize_onexit_table(&g_exitTable);
    if (_initterm_e(__xi_a, __xi_z) != 0)
        return false;
    _initterm(__xc_a, __xc_z);
    return true;
}

void finalizeModule() {
    _execute_onexit_table(&g_exitTable);
}

} // namespace msvc_runtime

// The platform's type_info has one virtual function, its deleting destructor; the RTTI records the
// compiler emits point at this table. Nothing here calls through it.
namespace {
void* __cdecl typeInfoDeletingDestructor(void* self, unsigned) {
    return self;
}
} // namespace
extern "C" const void* const msvc_type_info_vftable[1] __asm__("??_7type_info@@6B@") = {
    reinterpret_cast<const void*>(&typeInfoDeletingDestructor)};

const std::nothrow_t std::nothrow{};

// As the platform's: the CRT heap, std::bad_alloc when it is exhausted.
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throwBadAlloc();
    return block;
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
