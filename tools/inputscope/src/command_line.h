#pragma once

// The whole tool behind main(): options, the session, the run and the outputs. Files named by
// options are written here; what goes to standard output and error is handed back.

#include <string>
#include <vector>

namespace inputscope {

struct CommandResult {
    int exitCode = 0; // 0 done, 1 an output could not be written, 2 bad input or options
    std::string out;
    std::string err;
};

CommandResult runCommandLine(const std::vector<std::string>& args, bool stdoutIsTerminal);

// The session embedded in the program.
extern const char* const kBuiltinSession;

} // namespace inputscope
