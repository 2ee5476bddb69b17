# Cross build of the 64-bit Windows DLLs with the platform's usual C++ ABI: clang in MSVC mode
# (x86_64-pc-windows-msvc: MSVC name mangling, class layout and exception model), linked by
# lld-link against the runtime DLLs Windows and Wine provide (ucrtbase, vcruntime140). No MSVC
# installation exists here, so:
# - C runtime headers: Wine's MSVC-style CRT headers (Debian libwine-dev), Windows API headers
#   from the same place;
# - C++ headers: msvc/include, the small part of the standard library this project uses, with the
#   platform's layout where an object can cross into MSVC-built code (std::exception and its kin);
# - import libraries: ucrtbase and vcruntime140 from Wine's (libwine-dev), kernel32, user32 and
#   xinput1_4 from mingw-w64's (plain import libraries, which lld-link reads);
# - the per-module start-up that MSVC's static runtime supplies: msvc/runtime, linked into every
#   DLL and program by msvc/runtime.cmake.
# Executables run under Wine through cmake/wine-run.sh, as in the mingw-w64 build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(msvc_target x86_64-pc-windows-msvc)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${msvc_target})
set(CMAKE_CXX_COMPILER_TARGET ${msvc_target})
set(CMAKE_LINKER lld-link)
set(CMAKE_AR llvm-ar)
set(CMAKE_RANLIB llvm-ranlib)
set(CMAKE_RC_COMPILER llvm-rc)
set(CMAKE_MT llvm-mt)

get_filename_component(msvc_source_dir ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(wine_include /usr/include/wine/wine)
set(wine_libs /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(mingw_libs /usr/x86_64-w64-mingw32/lib)
foreach(needed ${wine_include}/msvcrt/corecrt.h ${wine_libs}/libucrtbase.a
               ${wine_libs}/libvcruntime140.a ${mingw_libs}/libxinput1_4.a)
    if(NOT EXISTS ${needed})
        message(FATAL_ERROR "${needed} is missing: scripts/setup.sh installs libwine-dev and "
                            "mingw-w64-x86-64-dev")
    endif()
endforeach()

# - _UCRT: the CRT headers describe ucrtbase (printf through __stdio_common_*), not msvcrt.dll.
# - Wine's winnt.h defines _InterlockedCompareExchange128 inline when the compiler is clang, but
#   in MSVC mode clang has it as a built-in: the rename keeps Wine's definition out of its way.
# - Thread-safe local statics need the TLS epoch of MSVC's static runtime, which is not here;
#   the library has no local statics; the stand-in's one (its string table) must not be first
#   reached by two threads at once.
set(msvc_flags "-D_UCRT -D_InterlockedCompareExchange128=__wine_icx128 -fno-threadsafe-statics \
-isystem ${msvc_source_dir}/msvc/include -isystem ${wine_include}/msvcrt -isystem ${wine_include}/windows")
set(CMAKE_C_FLAGS_INIT "${msvc_flags}")
set(CMAKE_CXX_FLAGS_INIT "${msvc_flags}")

# Import libraries under the names the link lines use (user32.lib, ...), in the build tree.
set(msvc_lib_dir ${CMAKE_BINARY_DIR}/msvc-import-libs)
file(MAKE_DIRECTORY ${msvc_lib_dir})
foreach(pair ucrtbase=${wine_libs}/libucrtbase.a vcruntime140=${wine_libs}/libvcruntime140.a
             kernel32=${mingw_libs}/libkernel32.a user32=${mingw_libs}/libuser32.a
             xinput1_4=${mingw_libs}/libxinput1_4.a)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 file)
    file(CREATE_LINK ${file} ${msvc_lib_dir}/${name}.lib SYMBOLIC)
endforeach()
# No default libraries (MSVC's static runtime is not here); vcruntime140 first, so the C++
# runtime's functions come from it although ucrtbase exports some of them as well.
set(msvc_link "-fuse-ld=lld -nostdlib -Wl,/nodefaultlib -L${msvc_lib_dir}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${msvc_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${msvc_link}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${msvc_link} -Wl,/entry:mainCRTStartup -Wl,/subsystem:console")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lvcruntime140 -lucrtbase -lkernel32" CACHE STRING "")
set(CMAKE_C_STANDARD_LIBRARIES "-lvcruntime140 -lucrtbase -lkernel32" CACHE STRING "")

# The checks CMake runs compile only: a test program could not link before msvc/runtime exists.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# After each project(): the start-up library, linked into every target made after it.
set(CMAKE_PROJECT_INCLUDE ${msvc_source_dir}/msvc/runtime.cmake)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
