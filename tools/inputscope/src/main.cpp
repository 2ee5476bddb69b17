#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "system.h"

int main(int argc, char** argv) {
    inputscope::useBinaryStdio();
    std::vector<std::string> args(argv + 1, argv + argc);
    inputscope::CommandIo io;
    io.stdoutIsTerminal = inputscope::stdoutIsTerminal();
    io.readStdin = inputscope::readStandardInput;
    inputscope::CommandResult result = inputscope::runCommandLine(args, io);
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    std::fflush(stdout);
    std::fwrite(result.err.data(), 1, result.err.size(), stderr);
    return result.exitCode;
}
