# inputscope through the process boundary (cmake -P): standard input, exit codes, what reaches
# standard output and error, and scripts/run.sh used from another folder in a pipe.
#   INPUTSCOPE the program, TESTS this folder, WORK a scratch folder, SOURCE and BINARY the trees
cmake_minimum_required(VERSION 3.25)

set(failures 0)
# check(<what> <condition...>): the condition as if() takes it.
macro(check what)
    if(${ARGN})
    else()
        message(SEND_ERROR "FAIL: ${what}\n  stdout: ${out}\n  stderr: ${err}")
        math(EXPR failures "${failures} + 1")
    endif()
endmacro()

# Compared by name: if() takes a quoted empty or odd string apart inside check().
set(nothing "")
set(not_found "NOTFOUND")
set(expected_title "t\"w\\o")
set(expected_session "sessions/two.txt")

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/sessions)

# A session from standard input, as JSON that parses.
file(WRITE ${WORK}/sessions/two.txt "focus on\nsection \"t\\\"w\\\\o\"\nframe 2\n")
execute_process(COMMAND ${INPUTSCOPE} - --json INPUT_FILE ${WORK}/sessions/two.txt
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON frames ERROR_VARIABLE json_error GET "${out}" frames)
string(JSON title ERROR_VARIABLE json_error GET "${out}" entries 0 text)
check("a session from standard input gives JSON"
      rc EQUAL 0 AND frames EQUAL 2 AND title STREQUAL expected_title AND err STREQUAL nothing)

# Bytes a terminal would act on never reach it: the message shows them escaped.
string(ASCII 27 esc)
file(WRITE ${WORK}/sessions/escape.txt "frame\nsection \"${esc}]0;owned${esc}\\\"\n")
execute_process(COMMAND ${INPUTSCOPE} ${WORK}/sessions/escape.txt
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${err}" "${esc}" raw)
string(FIND "${err}" "escape.txt:2:10: error: control character U+001B (escape)" message)
check("an escape byte is refused and not echoed"
      rc EQUAL 2 AND out STREQUAL nothing AND raw EQUAL -1 AND message GREATER -1)

# Far beyond the frame budget: refused while parsing, before any frame runs.
file(WRITE ${WORK}/sessions/huge.txt
     "frame 1000000\nframe 1000000\nframe 1000000\nframe 1000000\nframe 1000000\n")
execute_process(COMMAND ${INPUTSCOPE} ${WORK}/sessions/huge.txt --svg ${WORK}/huge.svg
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${err}" "huge.txt:2:7: error: frame 1000000 takes the session past its budget" message)
check("five million frames are refused"
      rc EQUAL 2 AND message GREATER -1 AND NOT EXISTS ${WORK}/huge.svg)

# Options the usual way.
execute_process(COMMAND ${INPUTSCOPE} --svg=${WORK}/t.svg --no-color world_step.txt
                WORKING_DIRECTORY ${TESTS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${TESTS}/world_step.out golden)
string(REPLACE "\r" "" golden "${golden}")
check("--svg=FILE"
      rc EQUAL 0 AND EXISTS ${WORK}/t.svg AND out STREQUAL golden)
execute_process(COMMAND ${INPUTSCOPE} --bogus RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
check("an unknown option exits with 2"
      rc EQUAL 2 AND out STREQUAL nothing)

# run.sh builds only the default preset's tree: checked when that is the tree under test.
if(NOT BINARY STREQUAL "${SOURCE}/build/default")
    message(STATUS "run.sh not checked: the tree under test is not build/default")
else()
    # From another folder, with a path relative to it, in a pipe: only inputscope's output.
    execute_process(COMMAND ${SOURCE}/scripts/run.sh --json sessions/two.txt
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    string(JSON session ERROR_VARIABLE json_error GET "${out}" session)
    check("run.sh --json from another folder gives valid JSON"
      rc EQUAL 0 AND session STREQUAL expected_session AND json_error STREQUAL not_found)
    check("run.sh says nothing when the build is up to date"
      err STREQUAL nothing)
    execute_process(COMMAND ${SOURCE}/scripts/run.sh sessions/missing.txt
                    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    check("run.sh passes inputscope's exit code on"
      rc EQUAL 2 AND out STREQUAL nothing)
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} process check(s) failed")
endif()
message("inputscope: process checks passed")
