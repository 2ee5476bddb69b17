#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "system.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    inputscope::CommandResult result =
        inputscope::runCommandLine(args, inputscope::stdoutIsTerminal());
    inputscope::useBinaryStdout();
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fflush(stdout);
    std::fputs(result.err.c_str(), stderr);
    return result.exitCode;
}
