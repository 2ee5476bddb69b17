#include "command_line.h"

#include <cstdlib>

#include "output.h"
#include "runner.h"
#include "session.h"
#include "system.h"

namespace inputscope {

namespace {

const char* const kUsage =
    "usage: inputscope [options] [SESSION]\n"
    "Runs SESSION (a session text; without one, the built-in session) through the input\n"
    "library and prints what the game reads, frame by frame.\n"
    "\n"
    "  --json              print JSON instead of the table\n"
    "  --svg FILE          draw the timeline into FILE (SVG)\n"
    "  --demo FILE         play a demo stream (24-byte records) into the current pad, one\n"
    "                      record per frame; without SESSION, one frame per record in gameplay\n"
    "  --record-demo FILE  write the current pad's demo records, one per frame\n"
    "  -o, --output FILE   write the table or the JSON into FILE instead of standard output\n"
    "  --color, --no-color colours on or off (default: on when standard output is a terminal)\n"
    "  --print-builtin     print the built-in session and stop\n"
    "  -h, --help          print this help and stop\n"
    "\n"
    "The session format is described in docs/inputscope.md.\n";

struct Options {
    bool json = false;
    bool help = false;
    bool printBuiltin = false;
    int colour = -1; // -1 automatic
    std::string session, svg, demo, recordDemo, output;
};

CommandResult failure(int code, const std::string& message) {
    CommandResult result;
    result.exitCode = code;
    result.err = message + "\n";
    return result;
}

} // namespace

CommandResult runCommandLine(const std::vector<std::string>& args, bool stdoutIsTerminal) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--json")
            o.json = true;
        else if (arg == "-h" || arg == "--help")
            o.help = true;
        else if (arg == "--print-builtin")
            o.printBuiltin = true;
        else if (arg == "--color" || arg == "--colour")
            o.colour = 1;
        else if (arg == "--no-color" || arg == "--no-colour")
            o.colour = 0;
        else if (arg == "--svg")
            ok = value(o.svg);
        else if (arg == "--demo")
            ok = value(o.demo);
        else if (arg == "--record-demo")
            ok = value(o.recordDemo);
        else if (arg == "-o" || arg == "--output")
            ok = value(o.output);
        else if (!arg.empty() && arg[0] == '-')
            return failure(2, "inputscope: error: unknown option '" + arg + "' (see --help)");
        else if (o.session.empty())
            o.session = arg;
        else
            return failure(2, "inputscope: error: more than one session given ('" + o.session +
                                  "' and '" + arg + "')");
        if (!ok)
            return failure(2, "inputscope: error: " + arg + " needs a file name after it");
    }
    CommandResult result;
    if (o.help) {
        result.out = kUsage;
        return result;
    }
    if (o.printBuiltin) {
        result.out = kBuiltinSession;
        return result;
    }

    // Everything is read and checked before anything runs or is written.
    std::string text, name, error;
    if (!o.session.empty()) {
        if (!readFile(o.session, text, error))
            return failure(2, o.session + ": error: cannot read the session (" + error + ")");
        name = o.session;
    } else if (!o.demo.empty()) {
        name = "<demo>";
    } else {
        text = kBuiltinSession;
        name = "<built-in>";
    }
    std::vector<std::uint8_t> demo;
    if (!o.demo.empty()) {
        std::string bytes;
        if (!readFile(o.demo, bytes, error))
            return failure(2, o.demo + ": error: cannot read the demo (" + error + ")");
        if (bytes.size() % kDemoRecordSize != 0)
            return failure(2, o.demo + ": error: the demo is " + std::to_string(bytes.size()) +
                                  " bytes, not a multiple of 24 (a demo record is 24 bytes)");
        demo.assign(bytes.begin(), bytes.end());
        if (o.session.empty())
            text = "focus on\ngame on\nframe " +
                   std::to_string(demo.size() / kDemoRecordSize > 0 ? demo.size() / kDemoRecordSize
                                                                    : 1) +
                   "\n";
    }
    Session session;
    try {
        session = parseSession(text, name);
    } catch (const SessionError& e) {
        return failure(2, e.what());
    }

    RunOptions run;
    run.demo = o.demo.empty() ? nullptr : &demo;
    run.recordDemo = !o.recordDemo.empty();
    Trace trace = runSession(session, run);

    bool colour = o.colour >= 0
                      ? o.colour == 1
                      : !o.json && o.output.empty() && stdoutIsTerminal && !std::getenv("NO_COLOR");
    std::string report = o.json ? renderJson(trace) : renderText(trace, colour);

    struct Pending {
        std::string path, content, what;
    };
    std::vector<Pending> files;
    if (!o.svg.empty())
        files.push_back({o.svg, renderSvg(trace), "timeline"});
    if (!o.recordDemo.empty())
        files.push_back({o.recordDemo,
                         std::string(trace.recordedDemo.begin(), trace.recordedDemo.end()),
                         "demo"});
    if (!o.output.empty())
        files.push_back({o.output, report, "report"});
    else
        result.out = report;
    for (const Pending& file : files)
        if (!writeFileAtomically(file.path, file.content, error))
            return failure(1, file.path + ": error: cannot write the " + file.what + " (" + error +
                                  ")");
    return result;
}

} // namespace inputscope
