// The timeline: bands for the sections, the active channels, the device in use, the buffering
// mode and rumble; the inputs as the library saw them; one row per action that fired; frames
// along the bottom. Device and channel changes are drawn as lines across the whole chart.

#include <algorithm>
#include <cmath>
#include <map>

#include "names.h"
#include "output.h"
#include "text.h"

namespace inputscope {

namespace {

constexpr int kMinLabelWidth = 120;
constexpr double kCharWidth = 6.7; // of the 11-pixel labels
constexpr int kRight = 30;
constexpr int kMinWidth = 760; // room for the title and the key
constexpr int kTop = 66;
constexpr int kRow = 16;
constexpr int kAnalogueRow = 26;
constexpr int kGroupGap = 22;

const char* const kFont = "font-family=\"DejaVu Sans Mono, Consolas, Menlo, monospace\"";
const char* const kPadColour = "#3b6fb6";
const char* const kNegativeColour = "#d0683a";
const char* const kKeyColour = "#8a5cb8";
const char* const kActionColour = "#2e8b57";
const char* const kDeviceColour = "#e08a1e";
const char* const kChannelColour = "#3a7bd5";

// XML text: control characters (which XML 1.0 does not allow even as references) and bytes that
// are not UTF-8 are shown as escapes first.
std::string escape(const std::string& text) {
    std::string out;
    for (char c : printable(text)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string num(double value) {
    return fixed(value, 1);
}

// One row of the chart: a value per frame, drawn as on/off bars or as signed bars.
struct Row {
    std::string label;
    const char* colour = kPadColour;
    bool analogue = false;
    bool signedValues = false;
    double scale = 1.0; // the value drawn at full height
    std::string note;   // after the label, e.g. the scale
    std::vector<double> values;
};

struct Group {
    std::string title;
    std::vector<Row> rows;
};

// A fixed palette for channel masks, in order of first appearance.
const char* const kPalette[] = {"#dbe8f7", "#fde3c8", "#d9f0d9", "#f3d9ec",
                                "#fff3bf", "#e0e0f5", "#d6f0f0", "#f0e0d0"};

class Svg {
public:
    void line(double x1, double y1, double x2, double y2, const std::string& style) {
        m_out += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) +
                 "\" y2=\"" + num(y2) + "\" " + style + "/>\n";
    }
    void rect(double x, double y, double w, double h, const std::string& fill,
              const std::string& tooltip = "", const std::string& extra = "") {
        m_out += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) +
                 "\" height=\"" + num(h) + "\" fill=\"" + fill + "\"" +
                 (extra.empty() ? "" : " " + extra);
        if (tooltip.empty())
            m_out += "/>\n";
        else
            m_out += "><title>" + escape(tooltip) + "</title></rect>\n";
    }
    void text(double x, double y, const std::string& content, const std::string& style) {
        m_out += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + style + ">" +
                 escape(content) + "</text>\n";
    }
    void raw(const std::string& content) { m_out += content; }
    std::string& out() { return m_out; }

private:
    std::string m_out;
};

} // namespace

std::string renderSvg(const Trace& trace) {
    // The frames (re-reads are not frames) and what happens between them.
    std::vector<const FrameView*> frames;
    struct Mark {
        int at; // frame index the mark precedes
        std::string text;
    };
    std::vector<Mark> sections, switches;
    std::vector<std::pair<int, RumbleView>> rumbles;
    bool chosen = false;
    std::vector<std::string> shownOrder;
    for (const Entry& e : trace.entries) {
        int at = static_cast<int>(frames.size());
        if (e.kind == EntryKind::Frame && !e.frame.reread)
            frames.push_back(&e.frame);
        else if (e.kind == EntryKind::Section)
            sections.push_back({at, e.text});
        else if (e.kind == EntryKind::Switch)
            switches.push_back({at, "world-step switch"});
        else if (e.kind == EntryKind::StepReset)
            switches.push_back({at, "step buffers emptied"});
        else if (e.kind == EntryKind::Rumble)
            rumbles.push_back({at - 1, e.rumble});
        else if (e.kind == EntryKind::Show) {
            chosen = chosen || !e.shown.empty();
            for (const std::string& name : e.shown)
                if (std::find(shownOrder.begin(), shownOrder.end(), name) == shownOrder.end())
                    shownOrder.push_back(name);
        }
    }
    int n = static_cast<int>(frames.size());
    double fw = n > 0 ? std::max(6.0, std::min(36.0, 1100.0 / n)) : 24.0;

    // Inputs.
    Group inputs{"inputs", {}};
    static const char* const kAxes[] = {"LX", "LY", "RX", "RY"};
    for (int slot = 0; slot < 4; ++slot) {
        std::string pad = "pad " + std::to_string(slot) + " ";
        for (int code = 0; code < 16; ++code) {
            Row row{pad + padCodeName(code), kPadColour, false, false, 1.0, "", {}};
            bool any = false;
            for (const FrameView* f : frames) {
                bool down = (f->inputs.pads[slot].buttons >> code) & 1u;
                any = any || down;
                row.values.push_back(down ? 1.0 : 0.0);
            }
            if (any)
                inputs.rows.push_back(row);
        }
        for (int t = 0; t < 2; ++t) {
            Row row{pad + (t ? "RT" : "LT"), kPadColour, true, false, 255.0, "0-255", {}};
            bool any = false;
            for (const FrameView* f : frames) {
                int v = t ? f->inputs.pads[slot].rt : f->inputs.pads[slot].lt;
                any = any || v;
                row.values.push_back(v);
            }
            if (any)
                inputs.rows.push_back(row);
        }
        for (int a = 0; a < 4; ++a) {
            Row row{pad + kAxes[a], kPadColour, true, true, 32767.0, "-1..1", {}};
            bool any = false;
            for (const FrameView* f : frames) {
                int v = f->inputs.pads[slot].axis[a];
                any = any || v;
                row.values.push_back(v);
            }
            if (any)
                inputs.rows.push_back(row);
        }
    }
    for (int raw = 0; raw < 2; ++raw) {
        for (int key = 0; key < input::KEY_COUNT; ++key) {
            Row row{
                (raw ? "raw key " : "key ") + keyName(key), kKeyColour, false, false, 1.0, "", {}};
            bool any = false;
            for (const FrameView* f : frames) {
                const std::vector<int>& keys = raw ? f->inputs.rawKeys : f->inputs.keys;
                bool down = std::find(keys.begin(), keys.end(), key) != keys.end();
                any = any || down;
                row.values.push_back(down ? 1.0 : 0.0);
            }
            if (any)
                inputs.rows.push_back(row);
        }
    }
    for (int m = 0; m < 3; ++m) {
        static const char* const kMouse[] = {"mouse dx", "mouse dy", "mouse wheel"};
        Row row{kMouse[m], kKeyColour, true, true, 1.0, "", {}};
        double peak = 0.0;
        for (const FrameView* f : frames) {
            int v = m == 0 ? f->inputs.mouseX : m == 1 ? f->inputs.mouseY : f->inputs.wheel;
            peak = std::max(peak, std::fabs(static_cast<double>(v)));
            row.values.push_back(v);
        }
        if (peak > 0.0) {
            row.scale = peak;
            row.note = "max " + fixed(peak, 0);
            inputs.rows.push_back(row);
        }
    }

    // Actions: every action that fired, in id order, or the chosen ones.
    Group actions{"actions", {}};
    std::map<int, Row> byId;
    std::vector<int> order;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        for (const ActionRead& r : frames[i]->reads) {
            auto found = byId.find(r.id);
            if (found == byId.end()) {
                Row row;
                row.label = r.name;
                row.colour = kActionColour;
                row.analogue = isAnalogueType(r.type);
                row.signedValues = row.analogue;
                row.values.assign(frames.size(), 0.0);
                found = byId.emplace(r.id, row).first;
                order.push_back(r.id);
            }
            double v = found->second.analogue ? r.analog : (r.digital ? 1.0 : 0.0);
            found->second.values[i] = std::isfinite(v) ? v : 0.0;
        }
    }
    if (!chosen)
        std::sort(order.begin(), order.end());
    for (int id : order) {
        Row row = byId[id];
        bool any = false;
        double peak = 1.0;
        for (double v : row.values) {
            any = any || v != 0.0;
            peak = std::max(peak, std::fabs(v));
        }
        if (!any && !chosen)
            continue;
        // Pad values fill -1..1; larger ones (mouse motion) are drawn full and capped.
        if (row.analogue)
            row.note = peak > 1.0 ? "-1..1, max " + fixed(peak, 2) : "-1..1";
        actions.rows.push_back(row);
    }

    // Geometry: the labels decide how far the chart starts to the right.
    std::size_t longest = 0;
    for (const Group* g : {&inputs, &actions})
        for (const Row& row : g->rows)
            longest =
                std::max(longest, row.label.size() + (row.note.empty() ? 0 : row.note.size() + 3));
    int labelWidth = std::max(kMinLabelWidth, static_cast<int>(longest * kCharWidth) + 20);
    const int bandCount = 5; // sections, channels, device, buffering, rumble
    int y = kTop;
    int bandsTop = y;
    y += bandCount * kRow + kGroupGap;
    std::vector<int> rowTops[2];
    Group* groups[2] = {&inputs, &actions};
    int groupTops[2];
    for (int g = 0; g < 2; ++g) {
        groupTops[g] = y;
        y += kRow; // title
        for (const Row& row : groups[g]->rows) {
            rowTops[g].push_back(y);
            y += row.analogue ? kAnalogueRow : kRow;
        }
        if (groups[g]->rows.empty())
            y += kRow;
        y += kGroupGap;
    }
    int chartBottom = y - kGroupGap + 4;
    int axisY = chartBottom + 4;
    int legendTop = axisY + 34;
    int width = std::max(kMinWidth, labelWidth + static_cast<int>(std::ceil(n * fw)) + kRight);
    int height = legendTop + static_cast<int>(sections.size()) * 15 + 40;
    auto xAt = [&](int frame) { return labelWidth + frame * fw; };

    Svg s;
    s.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
          "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
          " " + std::to_string(height) + "\">\n");
    s.rect(0, 0, width, height, "#ffffff");
    s.text(12, 22, "inputscope: " + trace.session + ", " + counted(n, "frame"),
           std::string(kFont) + " font-size=\"15\" font-weight=\"bold\" fill=\"#222\"");
    std::string key = std::string(kFont) + " font-size=\"11\" fill=\"#555\"";
    s.text(12, 38,
           "bars: down or fired; analogue rows from their middle line, up positive, orange "
           "down negative",
           key);
    s.text(12, 52,
           "lines across: orange the device in use changes, blue dashed the channels change", key);

    std::string label = std::string(kFont) + " font-size=\"11\" fill=\"#333\" text-anchor=\"end\"";
    std::string small = std::string(kFont) + " font-size=\"10\" fill=\"#333\"";
    std::string title = std::string(kFont) + " font-size=\"12\" font-weight=\"bold\" fill=\"#222\"";

    // Bands.
    const char* bandNames[bandCount] = {"section", "channels", "device", "buffering", "rumble"};
    for (int b = 0; b < bandCount; ++b) {
        int top = bandsTop + b * kRow;
        if (b % 2 == 0)
            s.rect(0, top, width, kRow, "#f6f6f6");
        s.text(labelWidth - 8, top + 12, bandNames[b], label);
    }
    // Segments of equal value along a band.
    auto segments = [&](int band, auto keyOf, auto colourOf, auto textOf) {
        int top = bandsTop + band * kRow;
        int start = 0;
        for (int i = 1; i <= n; ++i) {
            if (i < n && keyOf(*frames[i]) == keyOf(*frames[start]))
                continue;
            const FrameView& f = *frames[start];
            double x = xAt(start), w = (i - start) * fw;
            std::string text = textOf(f);
            s.rect(x + 0.5, top + 1, w - 1, kRow - 2, colourOf(f), text, "rx=\"3\"");
            if (static_cast<double>(text.size()) * 6.1 + 6 < w)
                s.text(x + 4, top + 12, text, small);
            start = i;
        }
    };
    std::map<std::uint32_t, const char*> maskColour;
    for (const FrameView* f : frames)
        if (!maskColour.count(f->channels))
            maskColour[f->channels] = kPalette[maskColour.size() % 8];
    if (n > 0) {
        segments(
            1, [](const FrameView& f) { return f.channels; },
            [&](const FrameView& f) { return std::string(maskColour[f.channels]); },
            [](const FrameView& f) { return channelNames(f.channels); });
        segments(
            2, [](const FrameView& f) { return f.keyboardAndMouse ? -1 : f.currentPad; },
            [](const FrameView& f) {
                return std::string(f.keyboardAndMouse ? "#eadcf5" : "#d7e6f7");
            },
            [](const FrameView& f) {
                return f.keyboardAndMouse ? std::string("keyboard+mouse")
                                          : "pad " + std::to_string(f.currentPad);
            });
        segments(
            3, [](const FrameView& f) { return f.buffering; },
            [](const FrameView& f) {
                return std::string(f.buffering == input::BUFFERING_WORLD_STEP ? "#fff0b3"
                                                                              : "#f2f2f2");
            },
            [](const FrameView& f) {
                return std::string(f.buffering == input::BUFFERING_WORLD_STEP ? "world step"
                                                                              : "live");
            });
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        double x = xAt(sections[i].at);
        s.line(x, bandsTop, x, chartBottom, "stroke=\"#999\" stroke-dasharray=\"2,3\"");
        s.rect(x + 1, bandsTop + 1, 18, kRow - 2, "#555", sections[i].text, "rx=\"3\"");
        s.text(x + 10, bandsTop + 12, std::to_string(i + 1),
               std::string(kFont) + " font-size=\"10\" fill=\"#fff\" text-anchor=\"middle\"");
    }
    for (const Mark& m : switches) {
        double x = xAt(m.at);
        int top = bandsTop + 3 * kRow;
        s.raw("<path d=\"M" + num(x - 4) + " " + std::to_string(top + kRow) + " L" + num(x) + " " +
              std::to_string(top + 6) + " L" + num(x + 4) + " " + std::to_string(top + kRow) +
              " Z\" fill=\"#b8860b\"><title>" + escape(m.text) + "</title></path>\n");
    }
    for (const auto& r : rumbles) {
        int top = bandsTop + 4 * kRow;
        const RumbleView& v = r.second;
        std::string text = "pad " + std::to_string(v.pad) + ": " +
                           (v.left || v.right ? "low " + std::to_string(v.left) + ", high " +
                                                    std::to_string(v.right)
                                              : std::string("motors stopped"));
        double x = xAt(std::max(0, r.first));
        s.rect(x + 1, top + 3, fw - 2, kRow - 6, v.left || v.right ? "#c2185b" : "#999",
               "rumble " + text);
        if (!(v.left || v.right))
            continue;
        // The label goes where there is room: after the mark, or before it at the right end.
        double textWidth = static_cast<double>(text.size()) * 6.1;
        if (x + fw + 2 + textWidth < width - 4)
            s.text(x + fw + 2, top + 12, text, small);
        else
            s.text(x - 2, top + 12, text, small + " text-anchor=\"end\"");
    }

    // Rows.
    for (int g = 0; g < 2; ++g) {
        s.text(12, groupTops[g] + 12, groups[g]->title, title);
        if (groups[g]->rows.empty())
            s.text(labelWidth, groupTops[g] + kRow + 12, "(none)", small);
        for (std::size_t r = 0; r < groups[g]->rows.size(); ++r) {
            const Row& row = groups[g]->rows[r];
            int top = rowTops[g][r];
            int h = row.analogue ? kAnalogueRow : kRow;
            if (r % 2 == 1)
                s.rect(0, top, width, h, "#f7f7f7");
            s.text(labelWidth - 8, top + h / 2 + 4,
                   row.label + (row.note.empty() ? "" : " (" + row.note + ")"), label);
            double mid = row.signedValues ? top + h / 2.0 : top + h - 2.0;
            double span = row.signedValues ? h / 2.0 - 2.0 : h - 4.0;
            if (row.analogue)
                s.line(labelWidth, mid, labelWidth + n * fw, mid, "stroke=\"#ccc\"");
            for (int i = 0; i < n; ++i) {
                double v = row.values[static_cast<std::size_t>(i)];
                if (v == 0.0)
                    continue;
                std::string tip = row.label + " frame " + std::to_string(frames[i]->frame) + ": ";
                if (!row.analogue) {
                    s.rect(xAt(i) + 0.5, top + 3, fw - 1, h - 6, row.colour,
                           tip + (g == 0 ? "down" : "fired"));
                    continue;
                }
                double k = std::max(-1.0, std::min(1.0, v / row.scale));
                double bar = std::max(1.0, std::fabs(k) * span);
                double barTop = k >= 0 ? mid - bar : mid;
                s.rect(xAt(i) + 0.5, barTop, fw - 1, bar, k >= 0 ? row.colour : kNegativeColour,
                       tip + (row.scale == 32767.0 ? fixed(v / 32767.0, 3)
                              : row.scale == 255.0 ? fixed(v, 0)
                                                   : fixed(v, 3)));
                if (std::fabs(v) > row.scale)
                    s.rect(xAt(i) + 0.5, k >= 0 ? barTop : barTop + bar - 2, fw - 1, 2, "#222");
            }
        }
    }

    // Device and channel changes across the chart.
    for (int i = 1; i < n; ++i) {
        const FrameView& a = *frames[i - 1];
        const FrameView& b = *frames[i];
        double x = xAt(i);
        if (a.keyboardAndMouse != b.keyboardAndMouse ||
            (!b.keyboardAndMouse && a.currentPad != b.currentPad))
            s.line(x, bandsTop + 2 * kRow, x, chartBottom,
                   std::string("stroke=\"") + kDeviceColour + "\" stroke-width=\"1.5\"");
        if (a.channels != b.channels)
            s.line(x + 1, bandsTop + kRow, x + 1, chartBottom,
                   std::string("stroke=\"") + kChannelColour + "\" stroke-width=\"1\"" +
                       " stroke-dasharray=\"4,2\"");
    }

    // Frame axis.
    s.line(labelWidth, axisY, labelWidth + n * fw, axisY, "stroke=\"#333\"");
    int step = 1;
    for (int candidate : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000}) {
        step = candidate;
        if (candidate * fw >= 28)
            break;
    }
    for (int i = 0; i < n; ++i) {
        int number = frames[i]->frame;
        if (number % step != 0 && i != 0)
            continue;
        double x = xAt(i) + fw / 2;
        s.line(x, axisY, x, axisY + 4, "stroke=\"#333\"");
        s.text(x, axisY + 16, std::to_string(number),
               std::string(kFont) + " font-size=\"10\" fill=\"#333\" text-anchor=\"middle\"");
    }
    s.text(labelWidth - 8, axisY + 16, "frame", label);

    // Section titles.
    for (std::size_t i = 0; i < sections.size(); ++i) {
        int top = legendTop + static_cast<int>(i) * 15;
        std::string at = sections[i].at < n
                             ? "from frame " + std::to_string(frames[sections[i].at]->frame)
                             : "at the end";
        s.text(12, top, std::to_string(i + 1) + "  " + sections[i].text + "  (" + at + ")",
               std::string(kFont) + " font-size=\"11\" fill=\"#333\"");
    }
    s.raw("</svg>\n");
    return s.out();
}

} // namespace inputscope

namespace inputscope {

namespace {

// The timeline is drawn once the run is over, since its width depends on the frame count; it
// keeps the entries it draws (no notes, prompts, bindings or re-reads) and drops typed text.
class SvgView : public TraceSink {
public:
    explicit SvgView(ByteOut out) : m_out(std::move(out)) {}

    void begin(const std::string& session, long long) override { m_trace.session = session; }
    void entry(const Entry& e) override {
        switch (e.kind) {
        case EntryKind::Frame:
            if (e.frame.reread)
                return;
            m_trace.entries.push_back(e);
            m_trace.entries.back().frame.inputs.typed.clear();
            m_trace.entries.back().frame.inputs.typed.shrink_to_fit();
            return;
        case EntryKind::Section:
        case EntryKind::Switch:
        case EntryKind::StepReset:
        case EntryKind::Rumble:
        case EntryKind::Show: m_trace.entries.push_back(e); return;
        case EntryKind::Note:
        case EntryKind::Prompt:
        case EntryKind::KeyName:
        case EntryKind::Binding: return;
        }
    }
    void end(long long frames) override {
        m_trace.frames = frames;
        m_out(renderSvg(m_trace));
        m_trace = Trace();
    }

private:
    ByteOut m_out;
    Trace m_trace;
};

} // namespace

std::unique_ptr<TraceSink> svgView(ByteOut out) {
    return std::make_unique<SvgView>(std::move(out));
}

} // namespace inputscope
