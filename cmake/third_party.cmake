# The header-only libraries the tools use, from Debian's packages (nlohmann-json3-dev,
# libcli11-dev): nlohmann_json::nlohmann_json and CLI11::CLI11.
#
# A cross build cannot take them from the build machine's /usr/include, which would put that
# system's C headers before the target's. So for a cross build the two header trees are copied
# into the build tree and offered from there, and nothing else comes along.

if(NOT CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3.10 REQUIRED CONFIG)
    find_package(CLI11 2.1 REQUIRED CONFIG)
    return()
endif()

set(gameinput_third_party_include ${PROJECT_BINARY_DIR}/third_party/include)
foreach(package IN ITEMS nlohmann_json CLI11)
    if(package STREQUAL "nlohmann_json")
        set(header nlohmann/json.hpp)
        set(folder nlohmann)
        set(debian nlohmann-json3-dev)
    else()
        set(header CLI/CLI.hpp)
        set(folder CLI)
        set(debian libcli11-dev)
    endif()
    find_path(gameinput_${package}_root ${header} PATHS /usr/include NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH)
    if(NOT gameinput_${package}_root)
        message(FATAL_ERROR "${header} not found: install Debian's ${debian} (scripts/setup.sh)")
    endif()
    file(COPY ${gameinput_${package}_root}/${folder} DESTINATION ${gameinput_third_party_include})
    if(NOT TARGET ${package}::${package})
        add_library(${package}::${package} INTERFACE IMPORTED)
        set_target_properties(${package}::${package} PROPERTIES
            INTERFACE_INCLUDE_DIRECTORIES ${gameinput_third_party_include}
            INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${gameinput_third_party_include})
    endif()
endforeach()
