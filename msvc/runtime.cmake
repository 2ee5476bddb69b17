# Included after each project() by cmake/clang-msvc-x86_64.cmake: the per-module start-up
# (msvc/runtime) as a static library that every later DLL and program links, as MSVC links its
# static runtime into each module. Made once, by the first project of a build.
# CMake's own check projects compile only and need none.
if(TARGET msvc_runtime OR PROJECT_NAME STREQUAL "CMAKE_TRY_COMPILE")
    return()
endif()
add_library(msvc_runtime STATIC
    ${CMAKE_CURRENT_LIST_DIR}/runtime/module.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime/dll_entry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime/exe_entry.cpp)
set_target_properties(msvc_runtime PROPERTIES CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON)
target_compile_definitions(msvc_runtime PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
# Not part of an installed package: each module that links the package has its own.
link_libraries($<BUILD_INTERFACE:msvc_runtime>)
