// Checks of inputscope: golden outputs of the built-in session, sessions that pin tricky
// behaviour, the parser's messages, the demo round trip and the command line's files.
// Usage: inputscope_check TESTS_DIR. With INPUTSCOPE_UPDATE_GOLDEN=1 it rewrites the goldens.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"
#include "output.h"
#include "runner.h"
#include "session.h"
#include "system.h"

using namespace inputscope;

namespace {

int g_failures = 0;
bool g_update = false;

void fail(const std::string& what, const std::string& detail) {
    ++g_failures;
    std::fprintf(stderr, "FAIL: %s\n%s\n", what.c_str(), detail.c_str());
}

void expect(bool ok, const std::string& what, const std::string& detail = "") {
    if (!ok)
        fail(what, detail);
}

// Line endings as checked out, so that a checkout with "\r\n" compares the same.
std::string unixLines(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
    std::size_t line = 1, start = 0;
    for (std::size_t i = 0;; ++i) {
        bool endE = i >= expected.size(), endA = i >= actual.size();
        if (endE && endA)
            return "";
        if (endE || endA || expected[i] != actual[i]) {
            auto lineAt = [&](const std::string& text) {
                std::size_t end = text.find('\n', start);
                return start < text.size() ? text.substr(start, end - start) : std::string("<end>");
            };
            return "line " + std::to_string(line) + "\n  expected: " + lineAt(expected) +
                   "\n  actual:   " + lineAt(actual);
        }
        if (expected[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
}

void golden(const std::string& dir, const std::string& name, const std::string& actual) {
    std::string path = dir + "/" + name, expected, error;
    if (g_update) {
        expect(writeFileAtomically(path, actual, error), "writing " + path, error);
        return;
    }
    if (!readFile(path, expected, error)) {
        fail("golden " + name, "cannot read " + path + ": " + error);
        return;
    }
    std::string difference = firstDifference(unixLines(expected), actual);
    expect(difference.empty(),
           "golden " + name + " differs (INPUTSCOPE_UPDATE_GOLDEN=1 rewrites it)", difference);
}

Trace run(const std::string& text, const std::string& file, const RunOptions& options = {}) {
    return runSession(parseSession(text, file), options);
}

void goldens(const std::string& dir) {
    Trace builtin = run(kBuiltinSession, "<built-in>");
    golden(dir, "builtin.out", renderText(builtin, false));
    golden(dir, "builtin.json", renderJson(builtin));
    expect(renderText(builtin, true).find("\x1b[") != std::string::npos, "colour when asked");
    expect(renderText(builtin, false).find('\x1b') == std::string::npos, "no colour otherwise");
    std::string svg = renderSvg(builtin);
    expect(svg.compare(0, 4, "<svg") == 0 && svg.find("</svg>") == svg.size() - 7,
           "the timeline is one SVG element");

    for (const char* name : {"world_step", "device_switch"}) {
        std::string text, error;
        std::string file = std::string(name) + ".txt";
        if (!readFile(dir + "/" + file, text, error)) {
            fail("session " + file, error);
            continue;
        }
        golden(dir, std::string(name) + ".out", renderText(run(text, file), false));
    }
}

void parserErrors(const std::string& dir) {
    std::string text, error;
    if (!readFile(dir + "/errors.txt", text, error)) {
        fail("errors.txt", error);
        return;
    }
    text = unixLines(text);
    std::string title, session;
    std::size_t start = 0, cases = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.compare(0, 3, "== ") == 0) {
            title = line.substr(3);
            session.clear();
        } else if (line.compare(0, 3, "-> ") == 0) {
            ++cases;
            std::string expected = line.substr(3), actual = "(no error)";
            try {
                parseSession(session, "case.txt");
            } catch (const SessionError& e) {
                actual = e.what();
            }
            expect(actual == expected, "parser message: " + title,
                   "  expected: " + expected + "\n  actual:   " + actual);
        } else if (!title.empty()) {
            session += line + "\n";
        }
    }
    expect(cases > 0, "errors.txt holds cases");
}

// What the pad recorded is what the pad plays back.
void demoRoundTrip() {
    RunOptions record;
    record.recordDemo = true;
    Trace recorded = run(kBuiltinSession, "<built-in>", record);
    expect(recorded.recordedDemo.size() ==
               static_cast<std::size_t>(recorded.frames) * kDemoRecordSize,
           "one 24-byte record per frame");

    RunOptions play;
    play.demo = &recorded.recordedDemo;
    Trace played =
        run("focus on\nframe " + std::to_string(recorded.frames) + "\n", "play.txt", play);
    std::vector<const FrameView*> a, b;
    for (const Entry& e : recorded.entries)
        if (e.kind == EntryKind::Frame && !e.frame.reread)
            a.push_back(&e.frame);
    for (const Entry& e : played.entries)
        if (e.kind == EntryKind::Frame)
            b.push_back(&e.frame);
    expect(a.size() == b.size(), "as many frames played as recorded");
    int moving = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const PadView& x = a[i]->inputs.pads[0];
        const PadView& y = b[i]->inputs.pads[0];
        bool same = x.buttons == y.buttons && x.lt == y.lt && x.rt == y.rt;
        for (int k = 0; k < 4; ++k)
            same = same && x.axis[k] == y.axis[k];
        moving += x.buttons != 0 || x.axis[0] != 0;
        expect(same, "frame " + std::to_string(i + 1) + " plays back as recorded");
    }
    expect(moving > 10, "the recording holds pad activity");

    played = run("focus on\nframe 2\n", "short.txt", play);
    bool leftOver = false;
    for (const Entry& e : played.entries)
        leftOver = leftOver || (e.kind == EntryKind::Note &&
                                e.text.find("demo records were not played") != std::string::npos);
    expect(leftOver, "records left unplayed are reported");
}

void commandLine(const std::string& dir) {
    std::string error, content;
    expect(writeFileAtomically("check_bad.bin", std::string(25, '\0'), error), "write a demo");
    CommandResult result = runCommandLine({"--demo", "check_bad.bin"}, false);
    expect(result.exitCode == 2 && result.out.empty() &&
               result.err == "check_bad.bin: error: the demo is 25 bytes, not a multiple of 24 "
                             "(a demo record is 24 bytes)\n",
           "a demo of 25 bytes is refused", result.err);
    std::remove("check_bad.bin");

    result = runCommandLine({"no-such-session.txt"}, false);
    expect(result.exitCode == 2 &&
               result.err.rfind("no-such-session.txt: error: cannot read the session (", 0) == 0,
           "an unreadable session is named", result.err);

    std::string bad = dir + "/bad_session.txt";
    std::remove("check_report.out");
    result = runCommandLine({"-o", "check_report.out", "--svg", "check.svg", bad}, false);
    expect(result.exitCode == 2 &&
               result.err == bad + ":3:7: error: unknown pad button 'Q' (expected one of A B X Y "
                                   "Start Back LB RB LS RS Up Down Left Right LT RT, or lt= rt= "
                                   "lx= ly= rx= ry=)\n",
           "a bad session stops with one message", result.err);
    expect(!readFile("check_report.out", content, error) && !readFile("check.svg", content, error),
           "a bad session writes no file");

    result = runCommandLine(
        {"-o", "check_report.out", "--svg", "check.svg", "--record-demo", "check.bin"}, false);
    expect(result.exitCode == 0 && result.out.empty(), "the built-in session runs", result.err);
    expect(readFile("check_report.out", content, error) &&
               content == renderText(run(kBuiltinSession, "<built-in>"), false),
           "the report goes to the file");
    expect(readFile("check.bin", content, error) && content.size() % kDemoRecordSize == 0 &&
               !content.empty(),
           "the demo is written");
    expect(!readFile("check.svg.inputscope-tmp", content, error), "no temporary file is left");
    for (const char* file : {"check_report.out", "check.svg", "check.bin"})
        std::remove(file);

    result = runCommandLine({"--svg", "no-such-directory/t.svg"}, false);
    expect(result.exitCode == 1 &&
               result.err.find("no-such-directory/t.svg: error: cannot write") == 0,
           "an output that cannot be written is reported", result.err);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: inputscope_check TESTS_DIR\n");
        return 2;
    }
    const char* update = std::getenv("INPUTSCOPE_UPDATE_GOLDEN");
    g_update = update && *update && std::string(update) != "0";
    std::string dir = argv[1];
    goldens(dir);
    parserErrors(dir);
    demoRoundTrip();
    commandLine(dir);
    if (g_failures)
        std::fprintf(stderr, "%d check(s) failed\n", g_failures);
    else
        std::printf("inputscope: all checks passed\n");
    return g_failures ? 1 : 0;
}
