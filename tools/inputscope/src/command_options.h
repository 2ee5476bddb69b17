#pragma once

// The command line's options as parsed, shared by the replay (command_line.cpp) and the viewers
// (viewer_command.cpp).

#include <string>

#include "command_line.h"
#include "session.h"

namespace inputscope {

struct Options {
    bool json = false;
    bool live = false;
    bool watch = false;
    std::string screenshot;
    long long atFrame = 0;
    int width = 0, height = 0; // --size; 0: the viewer's own
    double seconds = 0.0;
    bool secondsGiven = false;
    std::string record;
    bool printBuiltin = false;
    bool colour = false, noColour = false;
    long long maxFrames = kDefaultMaxFrames;
    std::string session, svg, demo, recordDemo, output, bindings;
};

// One message on standard error and the exit code.
CommandResult failure(int code, const std::string& message);

// Reads --bindings FILE into `text` and checks it on a manager as the run starts with it, before
// anything runs; "" when it applies, else the whole message.
std::string readBindingsOption(const Options& o, std::string& text);

// The viewers' options, checked before anything opens; "" when they hold together.
std::string viewerOptionsProblem(const Options& o);
// --watch and --live.
CommandResult runWatchCommand(const Options& o, const CommandIo& io);
CommandResult runLiveCommand(const Options& o, const CommandIo& io);

} // namespace inputscope
