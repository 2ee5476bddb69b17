#pragma once

// The whole tool behind main(): options, the session, the run and the outputs. Files named by
// options are written here; what goes to standard output and error is handed back.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace inputscope {

struct CommandResult {
    int exitCode = 0; // 0 done, 1 an output could not be written, 2 bad input or options
    std::string out;
    std::string err;
};

// What the command line reaches beyond its arguments.
struct CommandIo {
    bool stdoutIsTerminal = false;
    // Standard input, for a session named "-": false and a reason when it cannot be read or
    // holds more than the limit.
    std::function<bool(std::size_t limit, std::string& content, std::string& error)> readStdin;
};

CommandResult runCommandLine(const std::vector<std::string>& args, const CommandIo& io);

// The session embedded in the program.
extern const char* const kBuiltinSession;

} // namespace inputscope
