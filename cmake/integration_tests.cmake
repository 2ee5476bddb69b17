# What docs/integration.md promises a game, checked.

# The list of host symbols in the guide is the list the library imports (read from the ELF
# shared object; the DLL's import table names the same functions).
if(NOT WIN32)
    add_test(NAME Boundary.HostImportsDocumented
             COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:gameinput::input>
                     -DHOST=$<TARGET_FILE:gameinput::host_standin> -DNM=${CMAKE_NM}
                     -DGUIDE=${PROJECT_SOURCE_DIR}/docs/integration.md
                     -P ${PROJECT_SOURCE_DIR}/cmake/check_host_imports.cmake)
endif()

# Proof that a game can take the library in: tests/consumer built and run against an install tree
# of this build (find_package) and against the source tree (add_subdirectory). The consumer is a
# plain build, so not with sanitizer or fuzzing instrumentation.
if(INPUT_SANITIZE OR INPUT_BUILD_FUZZ OR INPUT_HOST_TARGET)
    return()
endif()

set(gameinput_consumer_root ${PROJECT_BINARY_DIR}/consumer)
set(gameinput_consumer_args
    -DSOURCE=${PROJECT_SOURCE_DIR} -DBINARY=${PROJECT_BINARY_DIR} -DROOT=${gameinput_consumer_root}
    -DGENERATOR=${CMAKE_GENERATOR} -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DWARNINGS_AS_ERRORS=${INPUT_WARNINGS_AS_ERRORS})
if(CMAKE_CROSSCOMPILING)
    # The same toolchain, and programs run through the suite's Wine prefix.
    string(REPLACE ";" "|" gameinput_emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
    list(APPEND gameinput_consumer_args -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE}
         -DEMULATOR=${gameinput_emulator} -DMSVC_ABI=${gameinput_msvc_abi})
else()
    list(APPEND gameinput_consumer_args -DCXX=${CMAKE_CXX_COMPILER})
endif()

add_test(NAME consumer.install
         COMMAND ${CMAKE_COMMAND} -DMODE=install ${gameinput_consumer_args}
                 -P ${PROJECT_SOURCE_DIR}/cmake/consumer_test.cmake)
add_test(NAME consumer.find_package
         COMMAND ${CMAKE_COMMAND} -DMODE=find_package ${gameinput_consumer_args}
                 -P ${PROJECT_SOURCE_DIR}/cmake/consumer_test.cmake)
add_test(NAME consumer.add_subdirectory
         COMMAND ${CMAKE_COMMAND} -DMODE=add_subdirectory ${gameinput_consumer_args}
                 -P ${PROJECT_SOURCE_DIR}/cmake/consumer_test.cmake)
set_tests_properties(consumer.install PROPERTIES FIXTURES_SETUP gameinput_install_tree)
set_tests_properties(consumer.find_package PROPERTIES FIXTURES_REQUIRED gameinput_install_tree)
# The add_subdirectory build compiles the library again; the others are quick.
set_tests_properties(consumer.install consumer.find_package consumer.add_subdirectory
                     PROPERTIES TIMEOUT 900 PASS_REGULAR_EXPRESSION "consumer: all passed")
set_tests_properties(consumer.install PROPERTIES PASS_REGULAR_EXPRESSION "install tree complete")
