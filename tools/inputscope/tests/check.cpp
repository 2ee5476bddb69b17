// Checks of inputscope: golden outputs of the built-in session, sessions that pin tricky
// behaviour, the messages of errors.txt, the demo round trip and the command line's files.
// Usage: inputscope_check TESTS_DIR DOCS_MD. With INPUTSCOPE_UPDATE_GOLDEN=1 it rewrites the
// goldens.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "input/contexts.h"
#include "input/input.h"
#include "input/version.h"
#include "names.h"
#include "output.h"
#include "runner.h"
#include "session.h"
#include "session_writer.h"
#include "standin/control.h"
#include "system.h"
#include "text.h"

using namespace inputscope;
namespace fs = std::filesystem;

namespace {

int g_failures = 0;
bool g_update = false;

void expect(bool ok, const std::string& what, const std::string& detail = "") {
    if (ok)
        return;
    ++g_failures;
    std::fprintf(stderr, "FAIL: %s\n%s\n", what.c_str(), detail.c_str());
}

// A file's text with the line ends as checked out made "\n", so a "\r\n" checkout compares the
// same; a failure when it cannot be read.
bool readText(const std::string& path, std::string& text) {
    std::string error;
    if (!readFile(path, kMaxSessionBytes, text, error)) {
        expect(false, "reading " + path, error);
        return false;
    }
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return true;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
    auto at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (at.first == expected.end() && at.second == actual.end())
        return "";
    auto where = at.first - expected.begin();
    // The line the two part on; rfind's npos + 1 is 0, the first line.
    std::size_t start = where == 0 ? 0 : expected.rfind('\n', where - 1) + 1;
    auto lineAt = [&](const std::string& text) {
        return start < text.size() ? text.substr(start, text.find('\n', start) - start)
                                   : std::string("<end>");
    };
    return "line " + std::to_string(1 + std::count(expected.begin(), at.first, '\n')) +
           "\n  expected: " + lineAt(expected) + "\n  actual:   " + lineAt(actual);
}

void golden(const std::string& dir, const std::string& name, const std::string& actual) {
    std::string path = dir + "/" + name, expected, error;
    if (g_update)
        expect(writeFileAtomically(path, actual, error), "writing " + path, error);
    else if (readText(path, expected))
        expect(expected == actual,
               "golden " + name + " differs (INPUTSCOPE_UPDATE_GOLDEN=1 rewrites it)",
               firstDifference(expected, actual));
}

Trace run(const std::string& text, const std::string& file, const RunOptions& options = {}) {
    return runSession(parseSession(text, file), options);
}

// The frames of a run, without the second reads of a frame if so asked.
std::vector<FrameView> framesOf(const Trace& trace, bool rereads = true) {
    std::vector<FrameView> frames;
    for (const Entry& e : trace.entries)
        if (e.kind == EntryKind::Frame && (rereads || !e.frame.reread))
            frames.push_back(e.frame);
    return frames;
}

// The message a session stops with, or its frame count.
std::string parseMessage(const std::string& text, const std::string& file,
                         const SessionLimits& limits = SessionLimits()) {
    try {
        Session session = parseSession(text, file, limits);
        checkContexts(session);
        return "(no error: " + std::to_string(session.frames) + " frames)";
    } catch (const SessionError& e) {
        return e.what();
    }
}

// Standard input holding `text`, refused as a real one is when it is larger than the limit.
CommandIo stdinHolding(const std::string& text) {
    CommandIo io;
    io.readStdin = [text](std::size_t limit, std::string& content, std::string& error) {
        content = text;
        error = text.size() > limit ? "larger than " + std::to_string(limit >> 20) + " MiB" : "";
        return text.size() <= limit;
    };
    return io;
}

// The timeline's lanes of mapping actions: every frame where one is live or has an event is
// drawn with its events in the tooltip, and each Canceled and Completed has its mark.
void mappingLanes(const Trace& trace) {
    std::string svg = renderSvg(trace);
    std::size_t drawn = 0, missing = 0, ends = 0;
    for (const FrameView& f : framesOf(trace, false)) {
        for (const MappingRead& m : f.mappings) {
            if (!m.events && !m.state)
                continue;
            std::string events;
            for (std::uint32_t bit = 1; bit <= input::EVENT_CANCELED; bit <<= 1)
                if (m.events & bit)
                    events += (events.empty() ? "" : "+") + std::string(eventName(bit));
            std::string tip = "<title>" + m.name + " frame " + std::to_string(f.frame) + ": " +
                              (events.empty() ? "no events" : events) + ", value ";
            ++drawn;
            missing += svg.find(tip) == std::string::npos;
            ends += (m.events & (input::EVENT_COMPLETED | input::EVENT_CANCELED)) != 0;
        }
    }
    auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1))
            ++n;
        return n;
    };
    expect(drawn > 20 && missing == 0, "each live mapping action's frame has its lane mark (" +
                                           std::to_string(missing) + " of " +
                                           std::to_string(drawn) + " missing)");
    expect(ends > 0 && count("fill=\"#d03a3a\"") + count("fill=\"#3a7bd5\"") == ends,
           "one end mark per Completed or Canceled", std::to_string(ends));
}

// The contexts' bounds: one past the most mapping actions, and past the most mappings.
void contextBounds() {
    std::string actions, mappings = "mapaction A digital\ncontext c priority=0\n";
    for (int i = 0; i <= kMaxMappingActions; ++i)
        actions += "mapaction A" + std::to_string(i) + " digital\n";
    for (int i = 0; i <= kMaxMappings; ++i)
        mappings += "map c A key:E\n";
    expect(parseMessage(actions, "a.txt") ==
               "a.txt:1001:11: error: too many mapping actions (at most 1000 in a session)",
           "at most 1000 mapping actions", parseMessage(actions, "a.txt"));
    expect(parseMessage(mappings, "m.txt") ==
               "m.txt:10003:1: error: too many mappings (at most 10000 in a session)",
           "at most 10000 mappings", parseMessage(mappings, "m.txt"));
}

// Each word of a mapping reaches the layer: a table of sessions and what the mapping action A
// reads in the last frame, as "EVENTS x,y".
void mappingWords() {
    const char* const kHead = "focus on\nmapaction A 2d\nmapaction B digital\n"
                              "context low priority=0\ncontext high priority=5\n";
    const std::pair<const char*, const char*> kCases[] = {
        {"map low A key:E\npush low\nkeys E\nframe", "ST 1.000,0.000"},
        // A key held through a focus loss counts again only after its release.
        {"map low A key:E\npush low\nkeys E\nframe\nfocus off\nframe\nfocus on\nframe",
         "- 0.000,0.000"},
        {"map low A key:E\nmap high B key:E\npush low\npush high\nkeys E\nframe", "- 0.000,0.000"},
        {"map low A key:E\nmap high B key:E pass\npush low\npush high\nkeys E\nframe",
         "ST 1.000,0.000"},
        {"map low A stick:left pad=1\npush low\npad 0 lx=1.0\npad 1 ly=-1.0\nframe",
         "ST 0.000,-1.000"},
        {"map low A stick:left negate=y swizzle scale=0.5,2\npush low\npad 0 lx=1.0\nframe",
         "ST 0.000,2.000"}, // in order: (1,0), (1,-0), (0,1), (0,2)
        {"map low A stick:left curve=2\npush low\npad 0 lx=0.5\nframe", "- 0.250,0.000"},
        {"map low A stick:left down actuation=0.25\npush low\npad 0 lx=0.5\nframe",
         "ST 0.500,0.000"},
        {"map low A stick:left down release=0.25\npush low\npad 0 lx=0.5\nframe\n"
         "pad 0 lx=0.3\nframe",
         "T 0.300,0.000"},
        {"map low B key:F\nmap low A key:E down blocker B\npush low\nkeys E F\nframe",
         "- 1.000,0.000"}, // vetoed; an axis still reads its value
        {"map low A key:E hold time=0.5\npush low\nkeys E\nframe 2 dt=0.25\npush low\n"
         "frame dt=0.25",
         "T 1.000,0.000"},
    };
    for (const auto& c : kCases) {
        std::vector<FrameView> frames = framesOf(run(std::string(kHead) + c.first + "\n", "w.txt"));
        std::string actual = "no frame";
        if (!frames.empty() && !frames.back().mappings.empty()) {
            const MappingRead& m = frames.back().mappings[0];
            actual = (m.events ? eventLetters(m.events) : "-") + " " + fixed(m.x, 3) + "," +
                     fixed(m.y, 3);
        }
        expect(actual == c.second, std::string("the mapping reads as set: ") + c.first,
               "  expected: " + std::string(c.second) + "\n  actual:   " + actual);
    }
}

void goldens(const std::string& dir) {
    // builtin.out holds no escape, so it also shows there is no colour unless asked for.
    Trace builtin = run(kBuiltinSession, "<built-in>");
    golden(dir, "builtin.out", renderText(builtin, false));
    golden(dir, "builtin.json", renderJson(builtin));
    expect(renderText(builtin, true).find("\x1b[") != std::string::npos, "colour when asked");
    for (std::string name : {"world_step", "device_switch", "contexts"}) {
        std::string text;
        if (!readText(dir + "/" + name + ".txt", text))
            continue;
        Trace trace = run(text, name + ".txt");
        golden(dir, name + ".out", renderText(trace, false));
        if (name == "contexts") { // the mapping actions' fields in the JSON, their lanes
            golden(dir, name + ".json", renderJson(trace));
            mappingLanes(trace);
        }
    }
    expect(renderSvg(builtin).find("mapping actions") == std::string::npos,
           "no mapping lanes in a chart without mapping actions");
}

// "\xNN" as the byte it names.
std::string unescape(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 2, "\\x") == 0 && i + 3 < line.size() &&
            std::isxdigit(static_cast<unsigned char>(line[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(line[i + 3]))) {
            out += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += line[i];
        }
    }
    return out;
}

// Files the outputs left under temporary names in the working folder.
std::vector<std::string> temporaries() {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator("."))
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            found.push_back(entry.path().filename().string());
    return found;
}

// How a command line is refused: "exit N" and what else went wrong, then ": " and its message.
std::string refusal(const std::vector<std::string>& args, const CommandIo& io) {
    CommandResult result = runCommandLine(args, io);
    std::string actual = "exit " + std::to_string(result.exitCode), err = result.err;
    if (!err.empty() && err.back() == '\n')
        err.pop_back();
    else
        actual += " [no line end]";
    if (!result.out.empty())
        actual += " [and standard output]";
    if (err.find('\x1b') != std::string::npos)
        actual += " [an escape byte as it is]";
    for (const char* file : {"check_report.out", "check.svg", "check_live.txt"})
        if (fs::exists(file))
            actual += std::string(" [left ") + file + "]";
    if (!temporaries().empty())
        actual += " [left a temporary]";
    return actual + ": " + err;
}

// The tool's messages: for the parser those of control characters, bytes that are not UTF-8 and
// the frame budget among them; each case of errors.txt stops with its message, or parses to its
// frame count.
void messages(const std::string& dir) {
    std::string text, error;
    if (!readText(dir + "/errors.txt", text))
        return;
    expect(writeFileAtomically("check_bad.bin", std::string(25, '\0'), error), "write a demo");
    expect(writeFileAtomically("check_big.profile", std::string(input::kMaxProfileSize + 2, '#'),
                               error),
           "write a profile");
    for (const char* file : {"check_report.out", "check.svg", "check_live.txt"})
        std::remove(file); // what an earlier run that stopped half-way may have left
    std::string title, session, input;
    std::vector<std::string> args;
    bool command = false;
    std::size_t cases = 0;
    auto tests = [&](std::string s) {
        std::size_t at = s.find("$TESTS");
        return at == std::string::npos ? s : s.replace(at, 6, dir);
    };
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (line.compare(0, 3, "== ") == 0) {
            title = line.substr(3);
            session.clear();
            input.clear();
            args.clear();
            command = false;
        } else if (line.compare(0, 2, "$ ") == 0) {
            command = true;
            std::istringstream words(line.substr(2));
            for (std::string word; words >> word;)
                args.push_back(unescape(tests(word)));
        } else if (line.compare(0, 2, "< ") == 0) {
            input = unescape(line.substr(2));
        } else if (line.compare(0, 3, "-> ") == 0) {
            ++cases;
            std::string actual, expected = tests(line.substr(3));
            if (command) {
                actual = refusal(args, stdinHolding(input));
                if (expected.size() >= 3 && expected.compare(expected.size() - 3, 3, "...") == 0)
                    actual = actual.substr(0, expected.size() - 3) + "...";
            } else {
                SessionLimits limits;
                std::size_t budget = title.rfind(" [max-frames ");
                if (budget != std::string::npos)
                    limits.maxFrames = std::stoi(title.substr(budget + 13));
                actual = parseMessage(session, "case.txt", limits);
            }
            expect(actual == expected, "message: " + title,
                   "  expected: " + expected + "\n  actual:   " + actual);
        } else if (!title.empty()) {
            session += unescape(line) + "\n";
        }
    }
    expect(cases > 0, "errors.txt holds cases");
    std::remove("check_bad.bin");
    std::remove("check_big.profile");

    // Standard input too large to read, and the viewers in a build that has none.
    expect(refusal({"-"}, stdinHolding(std::string(kMaxSessionBytes + 1, 'x'))) ==
               "exit 2: <stdin>: error: cannot read the session (larger than 16 MiB)",
           "a session too large to read");
    if (sim::isSimulated()) {
        std::string actual = refusal({"--live", "--record", "check_live.txt"}, CommandIo());
        expect(actual.rfind("exit 2: inputscope: error: --live reads the real keyboard", 0) == 0,
               "the simulated build refuses --live and writes nothing", actual);
        actual = refusal({"--watch", "--screenshot", "check.bmp", "--at-frame", "3"}, CommandIo());
        expect(actual == "exit 2: inputscope: error: --watch plays the session in a window, which "
                         "only the Windows build opens (here the table, --json and --svg show the "
                         "same frames)" &&
                   !fs::exists("check.bmp"),
               "the simulated build refuses --watch and writes nothing", actual);
    }

    // The file name and the echoed text are escaped as well.
    std::string message = parseMessage("bind key \"a\tb\" X\n", "evil\x1b]0;x\x07.txt");
    expect(message.find('\x1b') == std::string::npos && message.find('\t') == std::string::npos &&
               message.rfind("evil\\x1b]0;x\\x07.txt:1:10: error: unknown action 'a\\tb'", 0) == 0,
           "nothing from the file reaches the terminal unescaped", message);
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
    std::vector<FrameView> a = framesOf(recorded, false), b = framesOf(played);
    expect(a.size() == b.size(), "as many frames played as recorded");
    int moving = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const PadView &x = a[i].inputs.pads[0], &y = b[i].inputs.pads[0];
        bool same = x.buttons == y.buttons && x.lt == y.lt && x.rt == y.rt &&
                    std::equal(std::begin(x.axis), std::end(x.axis), std::begin(y.axis));
        moving += x.buttons != 0 || x.axis[0] != 0;
        expect(same, "frame " + std::to_string(i + 1) + " plays back as recorded");
    }
    expect(moving > 10, "the recording holds pad activity");

    played = run("focus on\nframe 2\n", "short.txt", play);
    expect(std::any_of(played.entries.begin(), played.entries.end(),
                       [](const Entry& e) {
                           return e.kind == EntryKind::Note &&
                                  e.text.find("demo records were not played") != std::string::npos;
                       }),
           "records left unplayed are reported");
}

// Whatever the texts hold, the JSON parses and the SVG is well-formed UTF-8 without control
// characters. The key name beyond the 16-bit range goes to the string table as a surrogate pair
// and comes back whole, whatever the width of wchar_t.
void outputsParse() {
    std::string text = "focus on\nsection \"quote \\\" backslash \\\\ tab\t \xe2\x9c\x93 "
                       "\xf0\x9f\x8e\xae\"\nkeyname Enter \"\xc3\x89ntr\xc3\xa9"
                       "e \\\" \xf0\x9f\x8e\xae\"\nprompt MENU_A\nframe\n";
    Trace trace = run(text, "odd \"name\".txt");
    std::string json = renderJson(trace);
    nlohmann::json parsed = nlohmann::json::parse(json, nullptr, false);
    expect(!parsed.is_discarded(), "the JSON parses", json.substr(0, 400));
    const std::pair<const char*, nlohmann::json> kSurvive[] = {
        {"/version", INPUT_VERSION_STRING},
        {"/session", "odd \"name\".txt"},
        {"/entries/0/text", "quote \" backslash \\ tab\t \xe2\x9c\x93 \xf0\x9f\x8e\xae"},
        {"/entries/1/keyName", "\xc3\x89ntr\xc3\xa9"
                               "e \" \xf0\x9f\x8e\xae"},
        {"/frames", 1},
    };
    for (const auto& [pointer, value] : kSurvive)
        expect(!parsed.is_discarded() && parsed[nlohmann::json::json_pointer(pointer)] == value,
               std::string("the JSON holds ") + pointer + " as given", json.substr(0, 600));
    std::string svg = renderSvg(trace);
    bool clean = true;
    std::uint32_t c;
    for (std::size_t i = 0, length = 0; clean && i < svg.size(); i += length)
        clean = decodeUtf8(svg, i, c, length) && !(isControl(c) && c != '\n');
    expect(clean, "the SVG is UTF-8 without control characters");
    expect(svg.compare(0, 4, "<svg") == 0 && svg.find("</svg>") == svg.size() - 7,
           "the timeline is one SVG element");
    expect(svg.find("tab\\t") != std::string::npos, "a tab in a title is shown as \\t");
    std::string table = renderText(trace, false);
    expect(table.find("inputscope: odd \"name\".txt, 1 frame\n") == 0, "one frame, not 1 frames",
           table.substr(0, 80));
    expect(table.find('\t') == std::string::npos, "no raw tab in the table");
}

// The output files: written whole, or not at all.
void outputFiles() {
    std::string error, content;
    {
        OutputFile file;
        expect(file.open("check_output.txt", error) && file.write("half", error) &&
                   fs::exists(file.temporaryPath()) && !fs::exists("check_output.txt"),
               "a file is written under a temporary name", error);
    }
    expect(!fs::exists("check_output.txt") && temporaries().empty(),
           "a file not committed leaves nothing behind");
    OutputFile a, b;
    expect(a.open("check_output.txt", error) && b.open("check_output.txt", error) &&
               a.temporaryPath() != b.temporaryPath(),
           "two writers of one path do not share a temporary");
    expect(a.write("a", error) && a.commit(error) &&
               readFile("check_output.txt", 10, content, error) && content == "a",
           "commit puts the file in place", error);
    std::remove("check_output.txt");
}

void commandLine() {
    std::string error, content;
    for (const char* file : {"check_report.out", "check.svg", "check.bin"})
        std::remove(file);
    // Both forms of the options; -o is checked below.
    CommandResult result = runCommandLine(
        {"--output=check_report.out", "--svg", "check.svg", "--record-demo=check.bin"},
        CommandIo());
    std::string builtin = renderText(run(kBuiltinSession, "<built-in>"), false);
    expect(result.exitCode == 0 && result.out.empty() && fs::exists("check.svg"),
           "the built-in session runs", result.err);
    expect(readFile("check_report.out", kMaxSessionBytes, content, error) && content == builtin,
           "the report goes to the file");
    expect(readFile("check.bin", kMaxSessionBytes, content, error) &&
               content.size() % kDemoRecordSize == 0 && !content.empty(),
           "the demo is written");
    expect(temporaries().empty(), "no temporary file is left");
    for (const char* file : {"check_report.out", "check.svg", "check.bin"})
        std::remove(file);

    // The usual forms (--version is checked on the program itself).
    for (const char* help : {"-h", "--help"}) {
        result = runCommandLine({help}, CommandIo());
        expect(result.exitCode == 0 && result.out.find("Usage: inputscope") != std::string::npos &&
                   result.out.find("--max-frames N") != std::string::npos,
               std::string(help) + " prints the usage");
    }
    result = runCommandLine({"-o", "-", "--no-color"}, CommandIo());
    expect(result.exitCode == 0 && result.out == builtin, "-o - is standard output", result.err);
    result = runCommandLine({"--max-frames=3", "-", "--json"}, stdinHolding("frame 3\n"));
    expect(result.exitCode == 0 && result.out.find("\"frames\": 3\n") != std::string::npos,
           "--max-frames=3 lets three frames through", result.err);
}

// The example in docs/inputscope.md prints what the document says it prints.
void documentedExample(const std::string& docs) {
    std::string text;
    if (!readText(docs, text))
        return;
    std::size_t at = text.find("### Example");
    std::string blocks[2];
    for (std::string& block : blocks) {
        std::size_t open = at == std::string::npos ? at : text.find("```\n", at);
        std::size_t close = open == std::string::npos ? open : text.find("```\n", open + 4);
        if (close == std::string::npos) {
            expect(false, "the example in " + docs,
                   "no session and output blocks after '### Example'");
            return;
        }
        block = text.substr(open + 4, close - open - 4);
        at = close + 4;
    }
    std::string actual = renderText(run(blocks[0], "menu.txt"), false);
    expect(actual == blocks[1], "the example in " + docs + " prints as documented",
           firstDifference(blocks[1], actual));
}

// Numbers as a person writes them: leading zeros are decimal, 0x is hexadecimal, everywhere.
void numbersAsWritten() {
    // Frame counts are in errors.txt.
    Session s = parseSession("screen 0800 0x258\npad 0 lx=-010\n", "n.txt");
    expect(s.statements.size() == 2 && s.statements[0].x == 800 && s.statements[0].y == 600,
           "screen 0800 0x258 is 800 by 600");
    expect(s.statements[1].hasAxis[0] && s.statements[1].axis[0] == -10, "lx=-010 is -10");
}

// The report goes out in pieces as the run makes it; together they are the whole report.
void streamedReport() {
    std::string text = "focus on\nmenu on\npad 0 A\nframe 3000\n";
    Trace whole = run(text, "<stdin>");
    for (bool json : {false, true}) {
        CommandIo io = stdinHolding(text);
        std::string streamed;
        int pieces = 0;
        io.writeStdout = [&](const std::string& bytes) {
            streamed += bytes;
            ++pieces;
        };
        std::vector<std::string> args = {"-", "--no-color"};
        if (json)
            args.push_back("--json");
        CommandResult result = runCommandLine(args, io);
        std::string expected = json ? renderJson(whole) : renderText(whole, false);
        expect(result.exitCode == 0 && result.out.empty() && pieces > 1 && streamed == expected,
               std::string("the streamed ") + (json ? "JSON" : "table") +
                   " is the whole report, in pieces",
               std::to_string(pieces) + " pieces, " + std::to_string(streamed.size()) + " of " +
                   std::to_string(expected.size()) + " bytes");
    }
}

// A live run as the window's message path makes it, played here by hand: each event goes to the
// library and to the session writer, each frame is read as the live viewer reads it. The written
// session must replay to the same frames, which is what --record promises.
class RecordedRun {
public:
    RecordedRun() : writer([this](const std::string& bytes) { text += bytes; }) {
        sim::reset();
        manager = std::make_unique<input::InputManager>(true, true);
        manager->setKeyboard(&keyboard);
        actions.refreshNames(*manager);
        for (auto [metric, size] : {std::pair{0, 800}, {1, 600}, {78, 1600}, {79, 600}})
            sim::setScreenMetric(metric, size); // the primary screen and the desktop
        writer.screen(800, 600, 1600, 600);
        manager->setGame(true);
        writer.statement("game on");
    }
    ~RecordedRun() {
        manager.reset();
        sim::reset();
    }

    void mouse(std::uint16_t flags, int x, int y, std::uint16_t buttonFlags = 0, int data = 0) {
        app::InputEvent event;
        event.rawInput.header.dwType = app::RIM_TYPEMOUSE;
        event.rawInput.data.mouse.usFlags = flags;
        event.rawInput.data.mouse.lLastX = x;
        event.rawInput.data.mouse.lLastY = y;
        event.rawInput.data.mouse.usButtonFlags = buttonFlags;
        event.rawInput.data.mouse.usButtonData = static_cast<std::uint16_t>(data);
        manager->dispatchAppEvent(&event);
        writer.mouseRecord(event);
    }
    void rawKey(int key, bool down, char character = 0, int modifiers = 0) {
        app::RawKeyEvent event;
        event.keyCode = key;
        event.down = down;
        event.character = character;
        event.modifiers = modifiers;
        keyboard.handleAppEvent(&event);
        writer.rawKey(event);
    }
    void focus(bool on) {
        manager->setFocus(on);
        writer.focus(on);
    }
    void refresh() {
        manager->refreshGamepadConnectivity();
        writer.refresh();
    }
    void frame(float dt = 1.0f / 60.0f) {
        manager->getInputX86()->updateKeyboardState(keys);
        keyboard.update();
        manager->update(dt);
        FrameView view;
        view.dt = dt;
        readFrame(*manager, keyboard, actions, {}, true, view);
        writer.frame(dt, keys, view);
        manager->resetMouseInputDeltas();
        frames.push_back(view);
    }

    std::string text;
    bool keys[256] = {};
    std::vector<FrameView> frames;
    SessionWriter writer;

private:
    input::Keyboard keyboard;
    std::unique_ptr<input::InputManager> manager;
    ActionTable actions;
};

std::string describe(const FrameView& f) {
    std::ostringstream out;
    out << f.keyboardAndMouse << " ch" << f.channels << " m" << f.inputs.mouseX << ","
        << f.inputs.mouseY << " w" << f.inputs.wheel;
    for (const PadView& p : f.inputs.pads) {
        out << " p" << p.connected << ":" << p.buttons << "/" << p.lt << "/" << p.rt;
        for (int a : p.axis)
            out << "/" << a;
    }
    out << " k";
    for (int k : f.inputs.keys)
        out << " " << k;
    out << " r";
    for (int k : f.inputs.rawKeys)
        out << " " << k;
    out << " t";
    for (const TypedKey& t : f.inputs.typed)
        out << " " << t.key << ":" << +t.character << ":" << t.modifiers;
    for (const ActionRead& r : f.reads)
        out << " " << r.name << "=" << r.digital << "/" << fixed(r.analog, 6);
    return out.str();
}

void recordedSessionReplays() {
    RecordedRun live;
    live.focus(true);
    live.mouse(app::MOUSE_MOVE_RELATIVE, 40, -25);
    live.frame();
    // Motion and a notch in one record; a motion too large for one session line.
    live.mouse(app::MOUSE_MOVE_RELATIVE, -7, 3, app::RI_MOUSE_WHEEL, 120);
    live.mouse(app::MOUSE_MOVE_RELATIVE, 2500000, -1, app::RI_MOUSE_WHEEL, -240);
    live.frame(0.0123456789f);
    // Absolute positions: the first only sets the base; the desktop flag picks the screen size.
    live.mouse(app::MOUSE_MOVE_ABSOLUTE, 30000, 30000);
    live.mouse(app::MOUSE_MOVE_ABSOLUTE | app::MOUSE_VIRTUAL_DESKTOP, 32000, 29000);
    live.mouse(app::MOUSE_MOVE_ABSOLUTE, 33000, 65535);
    live.frame(0.02f);
    // Typed keys with the characters Windows gives them, modifiers, a held key, a focus loss.
    const int kTyped[][4] = {{16, 1, 0, 1},    {'A', 1, 'A', 1},  {'A', 0, 0, 0},
                             {16, 0, 0, 0},    {13, 1, '\r', 0},  {0xDE, 1, '"', 6},
                             {'3', 1, '#', 0}, {0xDC, 1, '\\', 0}};
    for (const auto& k : kTyped)
        live.rawKey(k[0], k[1] != 0, static_cast<char>(k[2]), k[3]);
    live.keys[32] = live.keys[9] = true;
    live.frame();
    live.keys[9] = false;
    sim::setAsyncKey(2, true);
    sim::setAsyncKey(6, true);
    live.frame(0.5f);
    live.focus(false);
    live.frame(0.0f);
    live.focus(true);
    live.keys[32] = false;
    sim::setAsyncKey(2, false);
    // A pad comes with every kind of input, goes, and is read again only after a refresh.
    // Three buttons, both triggers, LX and RY at their ends, LY off centre.
    _tov_XINPUT_GAMEPAD report{0x1000 | 0x0400 | 0x0001, 31, 255, -32768, 7865, 0, 32767};
    sim::connectPad(2);
    sim::setPad(2, report);
    sim::connectPad(0);
    sim::setPad(0, _tov_XINPUT_GAMEPAD{});
    live.refresh();
    live.frame(0.25f);
    live.frame(0.25f);
    sim::disconnectPad(2);
    live.frame();
    sim::connectPad(2);
    live.frame(); // not read: no refresh yet
    live.refresh();
    live.frame();
    live.frame(); // nothing changed: one line
    // Every key code by the name the writer gives it, in the snapshot and on the raw keyboard.
    for (bool down : {true, false}) {
        for (int vk = 0; vk < 256; ++vk) {
            live.keys[vk] = down;
            if (vk > 0 && vk < 255)
                live.rawKey(vk, down);
        }
        live.frame();
    }

    const std::vector<FrameView>& recorded = live.frames;
    const std::string& text = live.text;
    expect(live.writer.unwritten() == 0, "every record of the run is written");
    expect(text.find("char=0x0d") != std::string::npos &&
               text.find("char=0x22") != std::string::npos &&
               text.find("mouse move 1000000 -1") != std::string::npos,
           "control characters, quotes and large motions are written as a session holds them",
           text);
    Trace replay;
    try {
        replay = run(text, "<recorded>");
    } catch (const SessionError& e) {
        expect(false, "a recorded session parses", e.what() + std::string("\n") + text);
        return;
    }
    std::vector<FrameView> replayed = framesOf(replay);
    expect(replayed.size() == recorded.size(), "the replay runs every recorded frame");
    for (std::size_t i = 0; i < recorded.size() && i < replayed.size(); ++i) {
        std::string a = describe(recorded[i]), b = describe(replayed[i]);
        expect(a == b && recorded[i].dt == replayed[i].dt,
               "recorded frame " + std::to_string(i + 1) + " replays the same",
               "live:   " + a + "\nreplay: " + b + "\n" + text);
    }
    expect(recorded.size() > 1 && describe(recorded[1]).find(" w0") != std::string::npos &&
               recorded[0].inputs.mouseX == 40,
           "the run itself saw its inputs (a notch up and one down cancel out)");

    // An absolute position a session cannot hold is counted, not written.
    std::string lost;
    SessionWriter writer([&](const std::string& bytes) { lost += bytes; });
    app::InputEvent event;
    event.rawInput.data.mouse.usFlags = app::MOUSE_MOVE_ABSOLUTE;
    event.rawInput.data.mouse.lLastX = -5;
    writer.mouseRecord(event);
    expect(writer.unwritten() == 1 && lost.empty(), "an absolute position below 0 is counted");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: inputscope_check TESTS_DIR DOCS_MD\n");
        return 2;
    }
    const char* update = std::getenv("INPUTSCOPE_UPDATE_GOLDEN");
    g_update = update && *update && std::string(update) != "0";
    std::string dir = argv[1];
    goldens(dir);
    messages(dir);
    contextBounds();
    mappingWords();
    numbersAsWritten();
    streamedReport();
    outputsParse();
    outputFiles();
    documentedExample(argv[2]);
    demoRoundTrip();
    commandLine();
    recordedSessionReplays();
    if (g_failures)
        std::fprintf(stderr, "%d check(s) failed\n", g_failures);
    else
        std::printf("inputscope: all checks passed\n");
    return g_failures ? 1 : 0;
}
