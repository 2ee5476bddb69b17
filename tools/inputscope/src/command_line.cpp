#include "command_line.h"
#include "command_options.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "input/rebinding.h"
#include "input/version.h"
#include "live.h"
#include "names.h"
#include "numbers.h"
#include "output.h"
#include "runner.h"
#include "session.h"
#include "system.h"
#include "text.h"

namespace inputscope {

std::string readBindingsOption(const Options& o, std::string& text) {
    if (o.bindings.empty())
        return "";
    std::string error;
    if (!readFile(o.bindings, input::kMaxProfileSize, text, error))
        return o.bindings + ": error: cannot read the bindings profile (" + error + ")";
    std::string problem = checkProfile(text);
    return problem.empty() ? "" : o.bindings + problem;
}

CommandResult failure(int code, const std::string& message) {
    CommandResult result;
    result.exitCode = code;
    result.err = printable(message) + "\n";
    return result;
}

namespace {

const char* const kDescription =
    "Runs SESSION through the input library and prints what the game reads, frame by frame.";
const char* const kFooter =
    "Without SESSION the built-in session runs; with --demo and no SESSION, one gameplay frame\n"
    "per 24-byte record. Colours are on when standard output is a terminal and NO_COLOR is not\n"
    "set. With --live (Windows), frames come from the real devices instead of a session, until\n"
    "the window closes, --seconds pass or Ctrl+C; with --watch (Windows), SESSION plays in the\n"
    "window. The session format is described in docs/inputscope.md.";

// The frame budget as a person writes it: decimal (or 0x hexadecimal), 1 and up.
std::string readBudget(std::string& text, long long& into) {
    long long value = 0;
    IntegerRead read = readInteger(text, value);
    if (read == IntegerRead::NotANumber)
        return "expected a frame count, got '" + text + "'";
    const long long highest = 2147483647; // frame numbers are int
    if (read == IntegerRead::Overflow || value < 1 || value > highest)
        return "value " + text + " is out of range for a frame count (expected 1 to " +
               std::to_string(highest) + ")";
    into = value;
    return "";
}

std::unique_ptr<CLI::App> makeParser(Options& o) {
    auto app = std::make_unique<CLI::App>(kDescription, "inputscope");
    app->footer(kFooter);
    // Session paths such as /tmp/a.txt are files, not /option switches, on every platform.
    app->allow_windows_style_options(false);
    app->get_formatter()->column_width(26);
    app->set_help_flag("-h,--help", "print this help and stop");
    app->set_version_flag("--version", "inputscope " INPUT_VERSION_STRING,
                          "print the version and stop");
    app->add_flag("--json", o.json, "print JSON instead of the table");
    app->add_option("--svg", o.svg, "also draw the timeline into FILE (SVG)")->type_name("FILE");
    app->add_option("--bindings", o.bindings, "apply a bindings profile before the session")
        ->type_name("FILE");
    app->add_option("--demo", o.demo, "play a demo stream into the current pad")->type_name("FILE");
    app->add_option("--record-demo", o.recordDemo, "write the current pad's demo records")
        ->type_name("FILE");
    app->add_option("-o,--output", o.output, "the table or the JSON into FILE ('-': stdout)")
        ->type_name("FILE");
    app->add_flag("--color,--colour", o.colour, "colours on");
    app->add_flag("--no-color,--no-colour", o.noColour, "colours off");
    app->add_option_function<std::string>(
           "--max-frames",
           [&o](std::string text) {
               std::string problem = readBudget(text, o.maxFrames);
               if (!problem.empty())
                   throw CLI::ValidationError("--max-frames", problem);
           },
           "the frame budget, re-reads included (default " + std::to_string(kDefaultMaxFrames) +
               ")")
        ->type_name("N");
    app->add_flag("--live", o.live, "frames from the real keyboard, mouse and pads (Windows)");
    app->add_option_function<std::string>(
           "--seconds",
           [&o](std::string text) {
               char* end = nullptr;
               double value = std::strtod(text.c_str(), &end);
               if (text.empty() || *end != '\0' || !(value > 0.0) || value > 1e6)
                   throw CLI::ValidationError("--seconds", "expected a time in seconds above 0 "
                                                           "and up to 1000000, got '" +
                                                               text + "'");
               o.seconds = value;
               o.secondsGiven = true;
           },
           "with --live: stop after N seconds")
        ->type_name("N");
    app->add_option("--record", o.record, "with --live: write what it saw as a session")
        ->type_name("FILE");
    app->add_flag("--watch", o.watch, "play SESSION in the viewer window (Windows)");
    app->add_option("--screenshot", o.screenshot,
                    "with --watch or --live: the window's picture at --at-frame into FILE.bmp")
        ->type_name("FILE");
    app->add_option_function<std::string>(
           "--at-frame",
           [&o](std::string text) {
               std::string problem = readBudget(text, o.atFrame);
               if (!problem.empty())
                   throw CLI::ValidationError("--at-frame", problem);
           },
           "with --screenshot: the frame to take")
        ->type_name("N");
    app->add_option_function<std::string>(
           "--size",
           [&o](std::string text) {
               int w = 0, h = 0;
               char x = 0, rest = 0;
               if (std::sscanf(text.c_str(), "%5d%c%5d%c", &w, &x, &h, &rest) != 3 ||
                   (x != 'x' && x != 'X') || w < 320 || w > 3840 || h < 240 || h > 2160)
                   throw CLI::ValidationError("--size", "expected WIDTHxHEIGHT from 320x240 to "
                                                        "3840x2160, got '" +
                                                            text + "'");
               o.width = w;
               o.height = h;
           },
           "with --watch or --live: the window's inside, e.g. 800x600 (default 1280x720)")
        ->type_name("WxH");
    app->add_flag("--print-builtin", o.printBuiltin, "print the built-in session and stop");
    app->add_option("SESSION", o.session, "a session text; '-' reads standard input")
        ->type_name("");
    return app;
}

// One output file, written in full before any is renamed into place.
struct Pending {
    std::string path, what;
    OutputFile file;
    bool failed = false;
    std::string error;
};

} // namespace

CommandResult runCommandLine(const std::vector<std::string>& args, const CommandIo& io) {
    Options o;
    std::unique_ptr<CLI::App> app = makeParser(o);
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        CommandResult result;
        result.out = app->help();
        return result;
    } catch (const CLI::CallForVersion& version) {
        CommandResult result;
        result.out = std::string(version.what()) + "\n";
        return result;
    } catch (const CLI::ParseError& e) {
        return failure(2, std::string("inputscope: error: ") + e.what() + " (see --help)");
    }
    if (o.colour && o.noColour)
        return failure(2, "inputscope: error: --color and --no-color contradict each other");
    CommandResult result;
    if (o.printBuiltin) {
        result.out = kBuiltinSession;
        return result;
    }
    std::string viewerProblem = viewerOptionsProblem(o);
    if (!viewerProblem.empty())
        return failure(2, "inputscope: error: " + viewerProblem);
    if (o.watch)
        return runWatchCommand(o, io);
    if (o.live)
        return runLiveCommand(o, io);
    if (o.secondsGiven || !o.record.empty())
        return failure(2, std::string("inputscope: error: ") +
                              (o.secondsGiven ? "--seconds" : "--record") + " needs --live");
    if (o.session == "-" && o.demo == "-")
        return failure(2, "inputscope: error: the session and the demo cannot both come from "
                          "standard input");

    // Everything is read and checked before anything runs or is written.
    std::string text, name, error;
    if (!o.session.empty()) {
        bool read = o.session == "-" ? io.readStdin && io.readStdin(kMaxSessionBytes, text, error)
                                     : readFile(o.session, kMaxSessionBytes, text, error);
        name = o.session == "-" ? "<stdin>" : o.session;
        if (!read)
            return failure(2, name + ": error: cannot read the session (" +
                                  (error.empty() ? "no standard input" : error) + ")");
    } else if (!o.demo.empty()) {
        name = "<demo>";
    } else {
        text = kBuiltinSession;
        name = "<built-in>";
    }
    std::string bindings;
    std::string problem = readBindingsOption(o, bindings);
    if (!problem.empty())
        return failure(2, problem);
    std::vector<std::uint8_t> demo;
    if (!o.demo.empty()) {
        // No more records than frames can play.
        std::size_t limit = static_cast<std::size_t>(o.maxFrames) * kDemoRecordSize;
        std::string bytes;
        bool read = o.demo == "-" ? io.readStdin && io.readStdin(limit, bytes, error)
                                  : readFile(o.demo, limit, bytes, error);
        if (!read)
            return failure(2, o.demo + ": error: cannot read the demo (" +
                                  (error.rfind("larger than", 0) == 0
                                       ? "more records than the budget of " +
                                             counted(o.maxFrames, "frame") +
                                             "; raise it with --max-frames N"
                                       : error) +
                                  ")");
        if (bytes.size() % kDemoRecordSize != 0)
            return failure(2, o.demo + ": error: the demo is " + std::to_string(bytes.size()) +
                                  " bytes, not a multiple of 24 (a demo record is 24 bytes)");
        demo.assign(bytes.begin(), bytes.end());
        if (o.session.empty()) {
            // One gameplay frame per record, in statements of at most a million frames.
            text = "focus on\ngame on\n";
            std::size_t records = demo.size() / kDemoRecordSize;
            for (std::size_t left = records > 0 ? records : 1; left > 0;) {
                std::size_t chunk = left < 1000000 ? left : 1000000;
                text += "frame " + std::to_string(chunk) + "\n";
                left -= chunk;
            }
        }
    }
    Session session;
    try {
        SessionLimits limits;
        limits.maxFrames = o.maxFrames;
        session = parseSession(text, name, limits);
        checkContexts(session); // what the contexts layer refuses, before anything runs
    } catch (const SessionError& e) {
        return failure(2, e.what());
    }

    // Every file is opened under a temporary name before the run and renamed only when all are
    // complete, so that one failure leaves none of them behind.
    std::vector<std::unique_ptr<Pending>> files;
    auto open = [&](const std::string& path, const std::string& what) -> Pending* {
        files.push_back(std::make_unique<Pending>());
        Pending* file = files.back().get();
        file->path = path;
        file->what = what;
        if (!file->file.open(path, file->error))
            file->failed = true;
        return file;
    };
    auto into = [](Pending* file) -> ByteOut {
        return [file](const std::string& bytes) {
            if (!file->failed && !file->file.write(bytes, file->error))
                file->failed = true;
        };
    };
    auto failed = [&]() -> const Pending* {
        for (const auto& file : files)
            if (file->failed)
                return file.get();
        return nullptr;
    };

    bool toStdout = o.output.empty() || o.output == "-";
    bool colour = o.colour ? true
                  : o.noColour
                      ? false
                      : !o.json && toStdout && io.stdoutIsTerminal && !std::getenv("NO_COLOR");
    ByteOut reportOut;
    if (toStdout) {
        if (io.writeStdout)
            reportOut = io.writeStdout;
        else
            reportOut = [&result](const std::string& bytes) { result.out += bytes; };
    } else {
        reportOut = into(open(o.output, "report"));
    }
    std::unique_ptr<TraceSink> report = o.json ? jsonView(reportOut) : textView(colour, reportOut);
    std::unique_ptr<TraceSink> svg;
    std::string svgError;
    Pending* svgFile = nullptr;
    if (!o.svg.empty()) {
        svgFile = open(o.svg, "timeline");
        svg = svgView(into(svgFile), &svgError);
    }
    Pending* demoFile = o.recordDemo.empty() ? nullptr : open(o.recordDemo, "demo");
    auto writeFailure = [&](const Pending& file) {
        return failure(1, file.path + ": error: cannot write the " + file.what + " (" + file.error +
                              ")");
    };
    if (const Pending* bad = failed())
        return writeFailure(*bad);

    TraceFanOut views;
    views.add(*report);
    if (svg)
        views.add(*svg);
    RunOptions run;
    run.demo = o.demo.empty() ? nullptr : &demo;
    run.recordDemo = demoFile != nullptr;
    run.bindings = o.bindings.empty() ? nullptr : &bindings;
    std::vector<std::uint8_t> recorded = runSession(session, run, views);
    if (demoFile)
        into(demoFile)(std::string(recorded.begin(), recorded.end()));
    if (svgFile && !svgError.empty() && !svgFile->failed) {
        svgFile->failed = true;
        svgFile->error = svgError;
    }

    if (const Pending* bad = failed())
        return writeFailure(*bad);
    for (auto& file : files)
        if (!file->file.commit(file->error))
            return writeFailure(*file);
    return result;
}

} // namespace inputscope
