# Install rules and the CMake package. Components:
#   gameinput_runtime       the library (input.dll, or libgameinput.so with the simulated platform)
#   gameinput_development   public headers, import library, the package files
#   gameinput_host_standin  the host stand-in (enginehost.dll / libenginehost.so, headers)
# A game then writes find_package(gameinput CONFIG REQUIRED) and links gameinput::input.

include(CMakePackageConfigHelpers)
set(gameinput_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/gameinput)

# Shared objects find the ones they need beside them, wherever the tree is installed.
if(NOT WIN32 AND NOT APPLE)
    set(gameinput_installed_libraries gameinput_input gameinput_winsim)
    if(NOT INPUT_HOST_TARGET)
        list(APPEND gameinput_installed_libraries gameinput_host_standin)
    endif()
    set_target_properties(${gameinput_installed_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/input ${gameinput_generated_include}/input
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT gameinput_development)

set(gameinput_library_targets gameinput_input)
if(NOT WIN32)
    list(APPEND gameinput_library_targets gameinput_winsim) # the library's platform
endif()
if(INPUT_HOST_TARGET)
    # The engine's own host modules are the engine's to install and export; without them in an
    # export set there can be no package, only the files.
    install(TARGETS ${gameinput_library_targets}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gameinput_runtime
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_runtime
                    NAMELINK_COMPONENT gameinput_development
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_development)
    return()
endif()

install(TARGETS ${gameinput_library_targets} EXPORT gameinputTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gameinput_runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_runtime
                NAMELINK_COMPONENT gameinput_development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_development)
install(EXPORT gameinputTargets NAMESPACE gameinput:: DESTINATION ${gameinput_package_dir}
        COMPONENT gameinput_development)

install(TARGETS gameinput_host_standin EXPORT gameinputHostStandinTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gameinput_host_standin
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_host_standin
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT gameinput_host_standin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/standin/host/include/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gameinput_host_standin
        COMPONENT gameinput_host_standin)
install(EXPORT gameinputHostStandinTargets NAMESPACE gameinput::
        DESTINATION ${gameinput_package_dir} COMPONENT gameinput_host_standin)

configure_package_config_file(cmake/gameinputConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/gameinputConfig.cmake
                              INSTALL_DESTINATION ${gameinput_package_dir})
# Until 1.0 a minor version may change the interface, so only the same minor version matches.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/gameinputConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/gameinputConfig.cmake
              ${PROJECT_BINARY_DIR}/package/gameinputConfigVersion.cmake
        DESTINATION ${gameinput_package_dir} COMPONENT gameinput_development)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/CHANGELOG.md
              ${PROJECT_SOURCE_DIR}/docs/integration.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT gameinput_development)
