// The terminal table: one row per frame (and per re-read), aligned, 80 columns wide, with marker
// lines where the device, the channels, the selection or the buffering mode change.

#include <cmath>
#include <cstdio>

#include "input/contexts.h"
#include "names.h"
#include "output.h"
#include "text.h"

namespace inputscope {

namespace {

constexpr int kWidth = 80;
constexpr int kInputs = 17;
constexpr int kPrefix = 24; // frame, time, dev, chn and b with their spaces
constexpr int kReads = kWidth - kPrefix - kInputs - 1;
constexpr int kMarkerIndent = 6;

const char* const kBold = "\x1b[1m";
const char* const kDim = "\x1b[2m";
const char* const kGreen = "\x1b[32m";
const char* const kYellow = "\x1b[33m";
const char* const kCyan = "\x1b[36m";
const char* const kMagenta = "\x1b[35m";
const char* const kRed = "\x1b[31m";
const char* const kBlue = "\x1b[34m";
const char* const kReset = "\x1b[0m";

struct Cell {
    std::string text;
    const char* colour = nullptr;
};
using Line = std::vector<Cell>;

class Writer {
public:
    explicit Writer(bool colour) : m_colour(colour) {}

    std::string paint(const std::string& text, const char* colour) const {
        if (!m_colour || !colour)
            return text;
        return colour + text + kReset;
    }

    // Cells packed into lines of at most `width` columns, one space apart.
    static std::vector<Line> wrap(const std::vector<Cell>& cells, int width) {
        std::vector<Line> lines(1);
        int used = 0;
        for (const Cell& cell : cells) {
            int size = static_cast<int>(cell.text.size());
            if (used > 0 && used + 1 + size > width) {
                lines.emplace_back();
                used = 0;
            }
            used += (used > 0 ? 1 : 0) + size;
            lines.back().push_back(cell);
        }
        return lines;
    }

    std::string render(const Line& line, int width) const {
        std::string out;
        int used = 0;
        for (const Cell& cell : line) {
            if (used > 0) {
                out += ' ';
                ++used;
            }
            out += paint(cell.text, cell.colour);
            used += static_cast<int>(cell.text.size());
        }
        if (used < width)
            out += std::string(static_cast<std::size_t>(width - used), ' ');
        return out;
    }

    // A full-width line of words after an indent and a mark, wrapped under its first word.
    void marker(const std::string& mark, const std::string& text, const char* colour) {
        std::vector<Cell> words;
        for (const std::string& word : split(text))
            words.push_back({word, colour});
        int indent = kMarkerIndent + static_cast<int>(mark.size()) + 1;
        std::vector<Line> lines = wrap(words, kWidth - indent);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string lead = i == 0 ? std::string(kMarkerIndent, ' ') + paint(mark, colour) + ' '
                                      : std::string(static_cast<std::size_t>(indent), ' ');
            emit(lead + trimRight(render(lines[i], 0)));
        }
    }

    // Words wrapped at the table's width.
    void paragraph(const std::string& text, const char* colour) {
        std::vector<Cell> words;
        for (const std::string& word : split(text))
            words.push_back({word, colour});
        for (const Line& line : wrap(words, kWidth))
            emit(render(line, 0));
    }

    static std::vector<std::string> split(const std::string& text) {
        std::vector<std::string> words;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t space = text.find(' ', start);
            if (space == std::string::npos)
                space = text.size();
            if (space > start)
                words.push_back(text.substr(start, space - start));
            start = space + 1;
        }
        return words;
    }

    void emit(const std::string& line) { m_out += trimRight(line) + '\n'; }
    std::string& out() { return m_out; }

private:
    static std::string trimRight(std::string text) {
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    }

    bool m_colour;
    std::string m_out;
};

std::string padLeft(const std::string& text, int width) {
    return text.size() >= static_cast<std::size_t>(width)
               ? text
               : std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}
std::string padRight(const std::string& text, int width) {
    return text.size() >= static_cast<std::size_t>(width)
               ? text
               : text + std::string(static_cast<std::size_t>(width) - text.size(), ' ');
}

// "+.50", "-1.00": a stick position in two decimals without the leading zero.
std::string stick(int raw) {
    std::string text = fixed(raw / 32767.0, 2, true);
    if (text.size() > 2 && text[1] == '0' && text[2] == '.')
        text.erase(1, 1);
    return text;
}

std::string signedInt(int value) {
    return (value < 0 ? "" : "+") + std::to_string(value);
}

std::vector<Cell> inputCells(const FrameView& f) {
    std::vector<Cell> cells;
    static const char* const kAxes[] = {"LX", "LY", "RX", "RY"};
    for (int n = 0; n < 4; ++n) {
        int slot = n == 0 ? f.currentPad : (n <= f.currentPad ? n - 1 : n);
        const PadView& pad = f.inputs.pads[slot];
        if (!pad.connected)
            continue;
        std::string prefix = slot == f.currentPad ? "" : "p" + std::to_string(slot) + ":";
        for (int code = 0; code < 16; ++code)
            if (pad.buttons & (1u << code))
                cells.push_back({prefix + padCodeName(code), kBlue});
        if (pad.lt)
            cells.push_back({prefix + "LT" + std::to_string(pad.lt), kBlue});
        if (pad.rt)
            cells.push_back({prefix + "RT" + std::to_string(pad.rt), kBlue});
        for (int a = 0; a < 4; ++a)
            if (pad.axis[a])
                cells.push_back({prefix + kAxes[a] + stick(pad.axis[a]), kBlue});
    }
    // Keys carry a mark of their own: pad A and key A must not look alike.
    for (int key : f.inputs.keys)
        cells.push_back({"k:" + keyName(key), kMagenta});
    for (int key : f.inputs.rawKeys)
        cells.push_back({"[" + keyName(key) + "]", kMagenta});
    if (f.inputs.mouseX || f.inputs.mouseY)
        cells.push_back({"m" + signedInt(f.inputs.mouseX) + "," + signedInt(f.inputs.mouseY)});
    if (f.inputs.wheel)
        cells.push_back({"wh" + signedInt(f.inputs.wheel)});
    if (cells.empty())
        cells.push_back({"-", kDim});
    return cells;
}

std::vector<Cell> readCells(const FrameView& f, bool chosen) {
    std::vector<Cell> cells;
    for (const ActionRead& r : f.reads) {
        if (chosen) {
            std::string text =
                r.name + ":" + (r.digital ? "1" : "0") + "/" + fixed(r.analog, 2, true);
            const char* colour = r.digital ? kGreen : r.analog != 0.0f ? kYellow : kDim;
            cells.push_back({padRight(text, static_cast<int>(r.name.size()) + 9), colour});
        } else if (isAnalogueType(r.type)) {
            cells.push_back({r.name + "=" + fixed(r.analog, 2, true), kYellow});
        } else {
            cells.push_back({r.name, kGreen});
        }
    }
    if (cells.empty())
        cells.push_back({"-", kDim});
    return cells;
}

// Mapping actions with an event or a value this frame: "@NAME:EVENTS", its value unless digital,
// and how far a hold has come while it is under way.
std::vector<Cell> mappingCells(const FrameView& f) {
    std::vector<Cell> cells;
    for (const MappingRead& m : f.mappings) {
        if (!m.events && m.x == 0.0f && m.y == 0.0f)
            continue;
        std::string text = "@" + m.name + ":" + (m.events ? eventLetters(m.events) : "-");
        if (m.type == input::VALUE_AXIS_1D)
            text += "=" + fixed(m.x, 2, true);
        else if (m.type == input::VALUE_AXIS_2D)
            text += "=" + fixed(m.x, 2, true) + "," + fixed(m.y, 2, true);
        if (m.hold > 0.0f && m.hold < 1.0f)
            text += "~" + std::to_string(static_cast<int>(m.hold * 100.0f)) + "%";
        cells.push_back({text, m.state == input::TRIGGER_TRIGGERED ? kGreen : kYellow});
    }
    return cells;
}

std::string deviceText(const FrameView& f) {
    return f.keyboardAndMouse ? "keyboard and mouse" : "pad " + std::to_string(f.currentPad);
}

std::string channelText(std::uint32_t mask) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%03x", mask);
    return std::string(hex) + " " + (mask ? channelNames(mask) : "(nothing is live)");
}

std::string bufferingText(int mode) {
    return mode == input::BUFFERING_LIVE         ? "live"
           : mode == input::BUFFERING_WORLD_STEP ? "world step"
                                                 : std::to_string(mode);
}

std::string degrees(float radians) {
    return std::to_string(std::lround(radians * 180.0 / 3.14159265358979323846));
}

// The table, written as the entries come; it keeps only the last frame, to show what changed.
class TextView : public TraceSink {
public:
    TextView(bool colour, ByteOut out, std::size_t chunk)
        : w(colour), m_out(std::move(out)), m_chunk(chunk) {}

    void begin(const std::string& session, long long frames) override {
        // A live run does not know its length.
        w.emit(w.paint("inputscope: " + printable(session) +
                           (frames >= 0 ? ", " + counted(frames, "frame") : std::string()),
                       kBold));
        w.emit(w.paint(padLeft("frame", 5) + " " + padLeft("time", 6) + " dev  chn b " +
                           padRight("inputs", kInputs) + " reads",
                       kBold));
        w.emit(std::string(5, '-') + " " + std::string(6, '-') + " ---- --- - " +
               std::string(kInputs, '-') + " " + std::string(kReads, '-'));
    }

    void entry(const Entry& e) override {
        switch (e.kind) {
        case EntryKind::Section:
            if (anySection || !first)
                w.emit("");
            anySection = true;
            w.emit(w.paint("== " + printable(e.text), kBold));
            break;
        case EntryKind::Show:
            chosen = !e.shown.empty();
            if (chosen) {
                std::string names;
                for (const std::string& name : e.shown)
                    names += (names.empty() ? "" : " ") + name;
                w.marker("--", "showing " + names + " (digital/analogue)", kCyan);
            } else {
                w.marker("--", "showing every action that fires", kCyan);
            }
            break;
        case EntryKind::Switch:
            w.marker("--",
                     "world-step switch: the current step becomes the previous one; "
                     "buffering back to live",
                     kCyan);
            break;
        case EntryKind::StepReset: w.marker("--", "both step buffers emptied", kCyan); break;
        case EntryKind::Note: w.marker("!", printable(e.text), kRed); break;
        case EntryKind::Binding: w.marker("--", e.text, kCyan); break;
        case EntryKind::Rumble: {
            const RumbleView& r = e.rumble;
            std::string text = "rumble sent to pad " + std::to_string(r.pad) + ": ";
            text += r.left || r.right
                        ? "low " + std::to_string(r.left) + ", high " + std::to_string(r.right)
                        : "motors stopped";
            w.marker("~", text, kMagenta);
            break;
        }
        case EntryKind::KeyName: {
            char code[16];
            std::snprintf(code, sizeof code, "0x%02x", static_cast<unsigned>(e.prompt.keyCode));
            w.marker(">",
                     "key " + std::string(code) + " is named \"" + printable(e.prompt.keyName) +
                         "\"",
                     kMagenta);
            break;
        }
        case EntryKind::Prompt: {
            const PromptView& p = e.prompt;
            std::string text = "prompt " + p.name + ": ";
            if (p.glyph >= 1)
                text += "glyph " + std::to_string(p.glyph) + " (" + glyphName(p.glyph) + "), set " +
                        std::to_string(p.set) + " cell (" + fixed(p.x, 0) + "," + fixed(p.y, 0) +
                        ") " + fixed(p.width, 0) + "x" + fixed(p.height, 0) + " turned " +
                        degrees(p.rotation) + " deg";
            else
                text += "no pad glyph";
            if (p.hasKey) {
                char code[16];
                std::snprintf(code, sizeof code, "0x%02x", static_cast<unsigned>(p.keyCode));
                text += "; key " + std::string(code) + " \"" + printable(p.keyName) + "\"";
            } else {
                text += "; no key";
            }
            w.marker(">", text, kMagenta);
            break;
        }
        case EntryKind::Frame: {
            const FrameView& f = e.frame;
            std::vector<std::string> changes;
            if (first || f.keyboardAndMouse != last.keyboardAndMouse ||
                (!f.keyboardAndMouse && f.currentPad != last.currentPad))
                changes.push_back("device: " + deviceText(f));
            if (first || f.channels != last.channels)
                changes.push_back("channels: " + channelText(f.channels));
            if (first ? f.selectedPad >= 0 : f.selectedPad != last.selectedPad)
                changes.push_back("selected pad: " + (f.selectedPad < 0
                                                          ? std::string("none")
                                                          : std::to_string(f.selectedPad)));
            if (first ? f.buffering != input::BUFFERING_LIVE : f.buffering != last.buffering)
                changes.push_back("buffering: " + bufferingText(f.buffering));
            if (!changes.empty()) {
                std::string text;
                for (const std::string& change : changes)
                    text += (text.empty() ? "" : "; ") + change;
                w.marker("--", text, kCyan);
            }
            first = false;
            last = f;

            char chn[16];
            std::snprintf(chn, sizeof chn, "%03x", f.channels);
            std::string prefix =
                padLeft(f.reread ? "(" + std::to_string(f.frame) + ")" : std::to_string(f.frame),
                        5) +
                " " + padLeft(f.reread ? "" : fixed(f.time, 3), 6) + " " +
                padRight(f.keyboardAndMouse ? "kbm" : "pad" + std::to_string(f.currentPad), 4) +
                " " + chn + " " +
                (f.buffering == input::BUFFERING_LIVE         ? "L"
                 : f.buffering == input::BUFFERING_WORLD_STEP ? "W"
                                                              : "?");
            prefix = padRight(prefix, kPrefix - 1);
            std::vector<Line> inputs = Writer::wrap(inputCells(f), kInputs);
            std::vector<Cell> readList = readCells(f, chosen);
            std::vector<Cell> mapped = mappingCells(f);
            if (!mapped.empty()) {
                mappings = true;
                if (readList.size() == 1 && readList[0].text == "-")
                    readList.clear();
                readList.insert(readList.end(), mapped.begin(), mapped.end());
            }
            std::vector<Line> reads = Writer::wrap(readList, kReads);
            std::size_t rows = inputs.size() > reads.size() ? inputs.size() : reads.size();
            for (std::size_t i = 0; i < rows; ++i) {
                std::string row = i == 0 ? prefix : std::string(kPrefix - 1, ' ');
                row += ' ' + w.render(i < inputs.size() ? inputs[i] : Line(), kInputs);
                row += ' ' + w.render(i < reads.size() ? reads[i] : Line(), 0);
                w.emit(row);
            }
            break;
        }
        }
        if (w.out().size() >= m_chunk)
            pass();
    }

    void end(long long) override {
        w.emit("");
        w.paragraph(
            "dev: kbm keyboard and mouse, padN the pad in slot N; chn: active channel mask; "
            "b: buffering, L live or W world step; inputs: pad buttons, LT/RT 0-255, sticks "
            "LX..RY -1..1, k:A the key A, [A] the raw keyboard's A, m mouse motion, wh wheel; "
            "reads: digital actions that are on, analogue actions with their value",
            kDim);
        if (mappings)
            w.paragraph("@NAME: a mapping action with its events (S started, O ongoing, T "
                        "triggered, C completed, X canceled), its value and ~N% a hold under way",
                        kDim);
        pass();
    }

private:
    void pass() {
        m_out(w.out());
        w.out().clear();
    }

    Writer w;
    ByteOut m_out;
    std::size_t m_chunk;
    bool chosen = false;
    bool first = true;
    FrameView last;
    bool anySection = false;
    bool mappings = false; // a mapping action showed: the legend says how to read it
};

} // namespace

std::unique_ptr<TraceSink> textView(bool colour, ByteOut out, bool eachEntry) {
    return std::make_unique<TextView>(colour, std::move(out), eachEntry ? 1 : kOutputChunk);
}

std::string renderText(const Trace& trace, bool colour) {
    std::string text;
    std::unique_ptr<TraceSink> view = textView(colour, [&](const std::string& b) { text += b; });
    replay(trace, *view);
    return text;
}

} // namespace inputscope
