# Turns a text file into a C++ source defining one string: cmake -DINPUT=... -DOUTPUT=...
# -DNAME=inputscope::kBuiltinSession -P embed.cmake
file(READ "${INPUT}" content)
string(REGEX REPLACE "::[^:]*$" "" namespace "${NAME}")
string(REGEX REPLACE "^.*::" "" variable "${NAME}")
set(source "// Generated from ${INPUT}; edit that file instead.\n")
string(APPEND source "#include \"command_line.h\"\n\nnamespace ${namespace} {\n")
string(APPEND source "const char* const ${variable} = R\"inputscope(${content})inputscope\";\n")
string(APPEND source "} // namespace ${namespace}\n")
file(WRITE "${OUTPUT}.new" "${source}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
