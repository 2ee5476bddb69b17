# One step of the consumer tests (cmake -P), see integration_tests.cmake:
#   MODE=install           cmake --install BINARY into ROOT/prefix, then check what is there
#   MODE=find_package      build tests/consumer against ROOT/prefix and run it
#   MODE=add_subdirectory  build tests/consumer with SOURCE as a subdirectory and run it
# SOURCE, BINARY, ROOT, GENERATOR, BUILD_TYPE, WARNINGS_AS_ERRORS; natively CXX; for a cross
# build TOOLCHAIN and EMULATOR ('|' between its words).
cmake_minimum_required(VERSION 3.25)

set(prefix ${ROOT}/prefix)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "install")
    file(REMOVE_RECURSE ${prefix})
    run("cmake --install" ${CMAKE_COMMAND} --install ${BINARY} --prefix ${prefix})
    if(TOOLCHAIN)
        set(expected bin/input.dll bin/enginehost.dll lib/libinput.dll.a lib/libenginehost.dll.a)
    else()
        set(expected lib/libgameinput.so lib/libenginehost.so lib/libgameinput_winsim.so)
    endif()
    list(APPEND expected include/input/input.h include/input/version.h
         include/gameinput_host_standin/vel/string.h lib/cmake/gameinput/gameinputConfig.cmake
         lib/cmake/gameinput/gameinputConfigVersion.cmake lib/cmake/gameinput/gameinputTargets.cmake
         lib/cmake/gameinput/gameinputHostStandinTargets.cmake share/doc/gameinput/LICENSE)
    foreach(file IN LISTS expected)
        if(NOT EXISTS ${prefix}/${file})
            message(FATAL_ERROR "not installed: ${file}")
        endif()
    endforeach()
    # Nothing of the tests or tools belongs in a game's install tree.
    file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
    foreach(file IN LISTS installed)
        if(file MATCHES "inputscope|input_tests|input_example|input_rebinding_example|gtest|winsim/|standin/control")
            message(FATAL_ERROR "installed, but not part of the package: ${file}")
        endif()
    endforeach()
    message("install tree complete: ${prefix}")
    return()
endif()

set(build ${ROOT}/${MODE})
file(REMOVE_RECURSE ${build})
set(configure ${CMAKE_COMMAND} -S ${SOURCE}/tests/consumer -B ${build} -G ${GENERATOR}
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE} -DINPUT_WARNINGS_AS_ERRORS=${WARNINGS_AS_ERRORS})
if(TOOLCHAIN)
    list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
else()
    list(APPEND configure -DCMAKE_CXX_COMPILER=${CXX})
endif()
if(MODE STREQUAL "find_package")
    # A cross build searches packages only below the target's root: name the package's folder.
    list(APPEND configure -DCMAKE_PREFIX_PATH=${prefix}
         -Dgameinput_DIR=${prefix}/lib/cmake/gameinput)
else()
    list(APPEND configure -DGAMEINPUT_SOURCE_DIR=${SOURCE})
endif()
run("configuring the consumer" ${configure})
run("building the consumer" ${CMAKE_COMMAND} --build ${build} --parallel 2)

set(program ${build}/consumer_game${CMAKE_EXECUTABLE_SUFFIX})
if(TOOLCHAIN)
    string(REPLACE "|" ";" emulator "${EMULATOR}")
    set(program ${build}/consumer_game.exe)
    run("running the consumer" ${emulator} ${program})
else()
    run("running the consumer" ${program})
endif()
message("${output}")
