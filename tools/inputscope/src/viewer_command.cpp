// The viewers on the command line: --watch plays a session in the window, --live shows the real
// devices; either can leave a picture of one frame (--screenshot).

#include <cstdlib>
#include <memory>

#include "command_options.h"
#include "input/rebinding.h"
#include "live.h"
#include "names.h"
#include "output.h"
#include "runner.h"
#include "system.h"
#include "text.h"

namespace inputscope {

namespace {

// The viewer's picture of one frame, written when the frame has come and renamed into place only
// when the run is over.
struct Screenshot {
    OutputFile file;
    bool taken = false, failed = false;
    std::string error;

    bool open(const Options& o, ViewerOptions& view, std::string& message) {
        if (o.width > 0) {
            view.width = o.width;
            view.height = o.height;
        }
        if (o.screenshot.empty())
            return true;
        if (!file.open(o.screenshot, error)) {
            message = o.screenshot + ": error: cannot write the screenshot (" + error + ")";
            return false;
        }
        view.atFrame = o.atFrame;
        view.screenshot = [this](const std::string& bmp) {
            taken = true;
            failed = failed || !file.write(bmp, error);
        };
        return true;
    }
    bool commit(const Options& o, std::string& message) {
        if (o.screenshot.empty())
            return true;
        if (!taken)
            error = "the run ended before frame " + std::to_string(o.atFrame);
        if (!taken || failed || !file.commit(error)) {
            message = o.screenshot + ": error: cannot write the screenshot (" + error + ")";
            return false;
        }
        return true;
    }
};

} // namespace

std::string viewerOptionsProblem(const Options& o) {
    bool viewer = o.live || o.watch;
    if (o.live && o.watch)
        return "--live and --watch contradict each other";
    if (!o.screenshot.empty() && !viewer)
        return "--screenshot needs --watch or --live";
    if (o.width > 0 && !viewer)
        return "--size needs --watch or --live";
    if (!o.screenshot.empty() && o.atFrame == 0)
        return "--screenshot needs --at-frame N, the frame to take";
    if (o.atFrame > 0 && o.screenshot.empty())
        return "--at-frame needs --screenshot FILE.bmp";
    std::string extension = o.screenshot.size() >= 4
                                ? lower(o.screenshot.substr(o.screenshot.size() - 4))
                                : std::string();
    if (!o.screenshot.empty() && extension != ".bmp")
        return "--screenshot writes a BMP picture: name the file FILE.bmp";
    return "";
}

// The watch viewer's run: the session is read and checked as for a replay, then played in the
// window.
CommandResult runWatchCommand(const Options& o, const CommandIo& io) {
    const char* other = o.json                  ? "--json"
                        : !o.svg.empty()        ? "--svg"
                        : !o.output.empty()     ? "--output"
                        : !o.recordDemo.empty() ? "--record-demo"
                        : !o.record.empty()     ? "--record"
                        : o.secondsGiven        ? "--seconds"
                        : !o.demo.empty()       ? "--demo"
                                                : nullptr;
    if (other)
        return failure(2, std::string("inputscope: error: ") + other + " does not go with --watch");
    std::string text = kBuiltinSession, name = "<built-in>", error, bindings;
    if (!o.session.empty()) {
        name = o.session == "-" ? "<stdin>" : o.session;
        bool read = o.session == "-" ? io.readStdin && io.readStdin(kMaxSessionBytes, text, error)
                                     : readFile(o.session, kMaxSessionBytes, text, error);
        if (!read)
            return failure(2, name + ": error: cannot read the session (" +
                                  (error.empty() ? "no standard input" : error) + ")");
    }
    std::string unreadable = readBindingsOption(o, bindings);
    if (!unreadable.empty())
        return failure(2, unreadable);
    Session session;
    try {
        SessionLimits limits;
        limits.maxFrames = o.maxFrames;
        session = parseSession(text, name, limits);
        checkContexts(session); // what the contexts layer refuses, before anything runs
    } catch (const SessionError& e) {
        return failure(2, e.what());
    }
    if (o.atFrame > session.updates)
        return failure(2, "inputscope: error: --at-frame " + std::to_string(o.atFrame) +
                              " is past the session's end (" + counted(session.updates, "frame") +
                              ")");
    // Checked first, so that the session's faults show in every build.
    if (const char* why = whyNoWatch())
        return failure(2, std::string("inputscope: error: ") + why);
    ViewerOptions view;
    Screenshot shot;
    if (!shot.open(o, view, error))
        return failure(1, error);
    RunOptions run;
    run.bindings = o.bindings.empty() ? nullptr : &bindings;
    run.readAll = true;
    long long shown = 0;
    std::string problem = runWatch(session, run, view, shown);
    if (!problem.empty())
        return failure(1, "inputscope: error: " + problem);
    if (!shot.commit(o, error))
        return failure(1, error);
    CommandResult result;
    result.err = "inputscope: watch: " + name + ", frame " + std::to_string(shown) + " of " +
                 std::to_string(session.updates) + " on screen at the end\n";
    return result;
}

// The live viewer's run: the report and the recording are written as the frames come, and
// renamed into place when the run ends.
CommandResult runLiveCommand(const Options& o, const CommandIo& io) {
    if (!o.session.empty())
        return failure(2, "inputscope: error: --live reads the devices, not a session (to replay "
                          "a recorded session, leave out --live)");
    const char* other = !o.demo.empty()         ? "--demo"
                        : !o.recordDemo.empty() ? "--record-demo"
                        : !o.bindings.empty()   ? "--bindings"
                        : !o.svg.empty()        ? "--svg"
                                                : nullptr;
    if (other)
        return failure(2, std::string("inputscope: error: ") + other + " does not go with --live");
    if (const char* why = whyNoLive())
        return failure(2, std::string("inputscope: error: ") + why);

    CommandResult result;
    bool toStdout = o.output.empty() || o.output == "-";
    OutputFile report, recording;
    std::string error;
    if (!toStdout && !report.open(o.output, error))
        return failure(1, o.output + ": error: cannot write the report (" + error + ")");
    if (!o.record.empty() && !recording.open(o.record, error))
        return failure(1, o.record + ": error: cannot write the recording (" + error + ")");
    bool reportFailed = false, recordFailed = false;
    std::string reportError, recordError;
    ByteOut reportOut;
    if (!toStdout)
        reportOut = [&](const std::string& bytes) {
            reportFailed = reportFailed || !report.write(bytes, reportError);
        };
    else if (io.writeStdout)
        reportOut = io.writeStdout;
    else
        reportOut = [&result](const std::string& bytes) { result.out += bytes; };
    bool colour = o.colour ? true
                  : o.noColour
                      ? false
                      : !o.json && toStdout && io.stdoutIsTerminal && !std::getenv("NO_COLOR");
    std::unique_ptr<TraceSink> view =
        o.json ? jsonView(reportOut, true) : textView(colour, reportOut, true);
    std::unique_ptr<SessionWriter> writer;
    if (!o.record.empty())
        writer = std::make_unique<SessionWriter>([&](const std::string& bytes) {
            recordFailed = recordFailed || !recording.write(bytes, recordError);
        });

    LiveOptions options;
    options.seconds = o.seconds;
    Screenshot shot;
    if (!shot.open(o, options.view, error))
        return failure(1, error);
    LiveSummary summary;
    std::string problem = runLive(options, *view, writer.get(), summary);
    if (!problem.empty())
        return failure(1, "inputscope: error: " + problem);
    if (!shot.commit(o, error))
        return failure(1, error);
    if (reportFailed)
        return failure(1, o.output + ": error: cannot write the report (" + reportError + ")");
    if (recordFailed)
        return failure(1, o.record + ": error: cannot write the recording (" + recordError + ")");
    if (!toStdout && !report.commit(error))
        return failure(1, o.output + ": error: cannot write the report (" + error + ")");
    if (writer && !recording.commit(error))
        return failure(1, o.record + ": error: cannot write the recording (" + error + ")");
    result.err = "inputscope: live: " + counted(summary.frames, "frame") + ", " +
                 counted(static_cast<long long>(summary.mouseRecords), "mouse record") + ", " +
                 counted(static_cast<long long>(summary.keyboardRecords), "keyboard record") +
                 ", " + counted(static_cast<long long>(summary.focusChanges), "focus change") +
                 "\n";
    if (writer && writer->unwritten() > 0)
        result.err += o.record + ": warning: " +
                      counted(static_cast<long long>(writer->unwritten()), "mouse record") +
                      " with an absolute position outside 0-65535 could not be recorded; the "
                      "replay's mouse differs there\n";
    return result;
}

} // namespace inputscope
