# Seeds of session_fuzz (cmake -P): the built-in session, the test sessions, each case of the
# parser's message list and every fenced block of docs/inputscope.md, one file each in OUTPUT.
#   SOURCE the source tree, OUTPUT the seed folder
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
set(tests ${SOURCE}/tools/inputscope/tests)
file(COPY ${SOURCE}/tools/inputscope/builtin_session.txt ${tests}/world_step.txt
     ${tests}/device_switch.txt ${tests}/contexts.txt ${tests}/bad_session.txt DESTINATION ${OUTPUT})

# errors.txt: "== title", the session, "-> message"; a command-line case ("$ ", "< ") holds none.
# The lines go through a list: ';' and brackets, which a list would take apart, are kept aside.
# A "\xNN" stays as written.
file(READ ${tests}/errors.txt text)
string(REPLACE "\r" "" text "${text}")
string(REPLACE ";" "<semicolon>" text "${text}")
string(REPLACE "[" "<open>" text "${text}")
string(REPLACE "]" "<close>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(n 0)
set(session "")
foreach(line IN LISTS lines)
    if(line MATCHES "^-> ")
        math(EXPR n "${n} + 1")
        string(REPLACE "<semicolon>" ";" session "${session}")
        string(REPLACE "<open>" "[" session "${session}")
        string(REPLACE "<close>" "]" session "${session}")
        file(WRITE ${OUTPUT}/error_${n}.txt "${session}")
        set(session "")
    elseif(NOT line MATCHES "^(== |#|\\$ |< )")
        string(APPEND session "${line}\n")
    endif()
endforeach()

file(READ ${SOURCE}/docs/inputscope.md docs)
string(REGEX MATCHALL "\n```\n[^`]*\n```" blocks "${docs}")
set(n 0)
foreach(block IN LISTS blocks)
    math(EXPR n "${n} + 1")
    string(REGEX REPLACE "^\n```\n" "" block "${block}")
    string(REGEX REPLACE "```$" "" block "${block}")
    file(WRITE ${OUTPUT}/docs_${n}.txt "${block}")
endforeach()
