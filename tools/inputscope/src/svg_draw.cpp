// The timeline: bands for the sections, the active channels, the device in use, the buffering
// mode and rumble; the inputs as the library saw them; one row per action that fired; a lane per
// mapping action of the contexts layer; frames along the bottom. Device and channel changes are
// drawn as lines across the whole chart.

#include <algorithm>
#include <cmath>
#include <functional>

#include "names.h"
#include "svg_view.h"
#include "text.h"

namespace inputscope {
namespace timeline {

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
const char* const kNegativeColour = "#d0683a";
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
// The document, passed on a chunk at a time.
class Svg {
public:
    explicit Svg(const ByteOut& out) : m_sink(out) {}
    void line(double x1, double y1, double x2, double y2, const std::string& style) {
        m_out += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) +
                 "\" y2=\"" + num(y2) + "\" " + style + "/>\n";
        pass();
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
        pass();
    }
    void text(double x, double y, const std::string& content, const std::string& style) {
        m_out += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + style + ">" +
                 escape(content) + "</text>\n";
        pass();
    }
    void raw(const std::string& content) {
        m_out += content;
        pass();
    }
    void finish() {
        if (!m_out.empty())
            m_sink(m_out);
        m_out.clear();
    }

private:
    void pass() {
        if (m_out.size() >= kOutputChunk)
            finish();
    }
    const ByteOut& m_sink;
    std::string m_out;
};

// A mapping action's lane in one frame: its state as a bar (Ongoing low and amber, Triggered
// full and green), its events as marks (Started a dark tick on the left, Completed blue and
// Canceled red on the right), the events, value and hold in the tooltip.
void drawMapping(Svg& s, const std::string& name, const ChartFrame::Mapping& m, int frame, double x,
                 double fw, int top, int h) {
    std::string events;
    for (std::uint32_t bit = 1; bit <= 0x10; bit <<= 1)
        if (static_cast<std::uint32_t>(m.events) & bit)
            events += (events.empty() ? "" : "+") + std::string(eventName(bit));
    std::string tip = name + " frame " + std::to_string(frame) + ": " +
                      (events.empty() ? "no events" : events) + ", value " + fixed(m.x, 3) +
                      (m.y != 0.0f ? "," + fixed(m.y, 3) : "") +
                      (m.hold > 0.0f && m.hold < 1.0f ? ", hold " + fixed(m.hold, 2) : "");
    if (m.state == 2)
        s.rect(x + 0.5, top + 3, fw - 1, h - 6, "#2e8b57", tip);
    else if (m.state == 1)
        s.rect(x + 0.5, top + h / 2.0, fw - 1, h / 2.0 - 3, "#e0a030", tip);
    if (m.events & 0x1)
        s.rect(x + 0.5, top + 1, 2, h - 2, "#222", tip);
    if (m.events & (0x8 | 0x10))
        s.rect(x + fw - 2.5, top + 1, 2, h - 2, m.events & 0x10 ? "#d03a3a" : "#3a7bd5", tip);
}

} // namespace

std::vector<Row> SvgView::mappingRows() const {
    std::vector<Row> rows;
    for (std::size_t id = 0; id < m_mappingNames.size(); ++id)
        rows.emplace_back(Row::Mapping, 0, static_cast<int>(id), m_mappingNames[id], kActionColour,
                          true);
    return rows;
}

std::vector<Row> SvgView::inputRows() const {
    std::vector<Row> rows;
    static const char* const kAxes[] = {"LX", "LY", "RX", "RY"};
    for (int slot = 0; slot < 4; ++slot) {
        std::string pad = "pad " + std::to_string(slot) + " ";
        for (int code = 0; code < 16; ++code)
            if ((m_padAny[slot] >> code) & 1u)
                rows.emplace_back(Row::Button, slot, code, pad + padCodeName(code));
        for (int t = 0; t < 2; ++t)
            if (m_triggerAny[slot][t])
                rows.emplace_back(Row::Trigger, slot, t, pad + (t ? "RT" : "LT"), kPadColour, true,
                                  false, 255.0, "0-255");
        for (int a = 0; a < 4; ++a)
            if (m_axisAny[slot][a])
                rows.emplace_back(Row::Axis, slot, a, pad + kAxes[a], kPadColour, true, true,
                                  32767.0, "-1..1");
    }
    for (int raw = 0; raw < 2; ++raw)
        for (int key = 0; key < input::KEY_COUNT; ++key)
            if (m_keyAny[raw][static_cast<std::size_t>(key)])
                rows.emplace_back(Row::Key, raw, key, (raw ? "raw key " : "key ") + keyName(key),
                                  kKeyColour);
    static const char* const kMouse[] = {"mouse dx", "mouse dy", "mouse wheel"};
    for (int m = 0; m < 3; ++m)
        if (m_mousePeak[m] > 0.0)
            rows.emplace_back(Row::Mouse, 0, m, kMouse[m], kKeyColour, true, true, m_mousePeak[m],
                              "max " + fixed(m_mousePeak[m], 0));
    return rows;
}

// Every action that fired, in id order, or the chosen ones in the order they came.
std::vector<Row> SvgView::actionRows() const {
    std::vector<int> order = m_actionOrder;
    if (!m_chosen)
        std::sort(order.begin(), order.end());
    std::vector<Row> rows;
    for (int id : order) {
        const ActionSeen& seen = m_actions.at(id);
        if (!seen.any && !m_chosen)
            continue;
        Row row(Row::Action, 0, id, seen.name, kActionColour, seen.analogue, seen.analogue);
        // Pad values fill -1..1; larger ones (mouse motion) are drawn full and capped.
        if (row.analogue)
            row.note = seen.peak > 1.0 ? "-1..1, max " + fixed(seen.peak, 2) : "-1..1";
        rows.push_back(row);
    }
    return rows;
}
void SvgView::draw() {
    int n = m_frames;
    double fw = n > 0 ? std::max(6.0, std::min(36.0, 1100.0 / n)) : 24.0;
    Group inputs{"inputs", inputRows()};
    Group actions{"actions", actionRows()};
    Group mappings{"mapping actions (green triggered, amber ongoing; marks: black started, blue "
                   "completed, red canceled)",
                   mappingRows()};
    // Only a session with mapping actions has their group, so other charts stay as they were.
    const int groupCount = mappings.rows.empty() ? 2 : 3;

    // Geometry: the labels decide how far the chart starts to the right.
    std::size_t longest = 0;
    for (const Group* g : {&inputs, &actions, &mappings})
        for (const Row& row : g->rows)
            longest =
                std::max(longest, row.label.size() + (row.note.empty() ? 0 : row.note.size() + 3));
    int labelWidth = std::max(kMinLabelWidth, static_cast<int>(longest * kCharWidth) + 20);
    const int bandCount = 5; // sections, channels, device, buffering, rumble
    int y = kTop;
    int bandsTop = y;
    y += bandCount * kRow + kGroupGap;
    std::vector<int> rowTops[3];
    Group* groups[3] = {&inputs, &actions, &mappings};
    int groupTops[3];
    for (int g = 0; g < groupCount; ++g) {
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
    int height = legendTop + static_cast<int>(m_sections.size()) * 15 + 40;
    auto xAt = [&](int frame) { return labelWidth + frame * fw; };

    Svg s(m_out);
    s.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
          "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
          " " + std::to_string(height) + "\">\n");
    s.rect(0, 0, width, height, "#ffffff");
    s.text(12, 22, "inputscope: " + m_session + ", " + counted(n, "frame"),
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

    // Bands and rows: their backgrounds and labels first, the frames' marks over them.
    const char* bandNames[bandCount] = {"section", "channels", "device", "buffering", "rumble"};
    for (int b = 0; b < bandCount; ++b) {
        int top = bandsTop + b * kRow;
        if (b % 2 == 0)
            s.rect(0, top, width, kRow, "#f6f6f6");
        s.text(labelWidth - 8, top + 12, bandNames[b], label);
    }
    for (int g = 0; g < groupCount; ++g) {
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
            if (row.analogue && row.source != Row::Mapping) {
                double mid = row.signedValues ? top + h / 2.0 : top + h - 2.0;
                s.line(labelWidth, mid, labelWidth + n * fw, mid, "stroke=\"#ccc\"");
            }
        }
    }

    // The frames, read back in order: band segments of equal value, each row's bars, device and
    // channel changes across the chart, and the frame axis's ticks.
    struct Band {
        int number;
        std::function<long long(const ChartFrame&)> keyOf;
        std::function<std::string(const ChartFrame&)> colourOf, textOf;
        ChartFrame first; // of the open segment
        int start = 0;
    };
    std::vector<Band> bands;
    bands.push_back(
        Band{1,
             [](const ChartFrame& f) { return static_cast<long long>(f.fixed.channels); },
             [&](const ChartFrame& f) { return std::string(m_maskColour[f.fixed.channels]); },
             [](const ChartFrame& f) { return channelNames(f.fixed.channels); },
             {}});
    bands.push_back(
        Band{2,
             [](const ChartFrame& f) { return static_cast<long long>(f.fixed.currentPad); },
             [](const ChartFrame& f) {
                 return std::string(f.fixed.currentPad < 0 ? "#eadcf5" : "#d7e6f7");
             },
             [](const ChartFrame& f) {
                 return f.fixed.currentPad < 0 ? std::string("keyboard+mouse")
                                               : "pad " + std::to_string(f.fixed.currentPad);
             },
             {}});
    bands.push_back(
        Band{3,
             [](const ChartFrame& f) { return static_cast<long long>(f.fixed.buffering); },
             [](const ChartFrame& f) {
                 return std::string(f.fixed.buffering == input::BUFFERING_WORLD_STEP ? "#fff0b3"
                                                                                     : "#f2f2f2");
             },
             [](const ChartFrame& f) {
                 return std::string(f.fixed.buffering == input::BUFFERING_WORLD_STEP ? "world step"
                                                                                     : "live");
             },
             {}});
    auto closeSegment = [&](Band& band, int end) {
        int top = bandsTop + band.number * kRow;
        double x = xAt(band.start), w = (end - band.start) * fw;
        std::string text = band.textOf(band.first);
        s.rect(x + 0.5, top + 1, w - 1, kRow - 2, band.colourOf(band.first), text, "rx=\"3\"");
        if (static_cast<double>(text.size()) * 6.1 + 6 < w)
            s.text(x + 4, top + 12, text, small);
    };
    int step = 1;
    for (int candidate : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000}) {
        step = candidate;
        if (candidate * fw >= 28)
            break;
    }
    std::string tick =
        std::string(kFont) + " font-size=\"10\" fill=\"#333\" text-anchor=\"middle\"";
    ChartFrame f, previous;
    std::size_t nextSection = 0;
    for (int i = 0; i < n; ++i) {
        if (!m_spool.read(f)) {
            failed();
            return;
        }
        while (nextSection < m_sections.size() && m_sections[nextSection].at <= i)
            m_sections[nextSection++].frame = f.fixed.frame;
        for (Band& band : bands) {
            if (i > 0 && band.keyOf(f) == band.keyOf(band.first))
                continue;
            if (i > 0)
                closeSegment(band, i);
            band.first = f;
            band.start = i;
        }
        for (int g = 0; g < groupCount; ++g) {
            for (std::size_t r = 0; r < groups[g]->rows.size(); ++r) {
                const Row& row = groups[g]->rows[r];
                double v = row.value(f);
                if (v == 0.0)
                    continue;
                int top = rowTops[g][r];
                int h = row.analogue ? kAnalogueRow : kRow;
                if (row.source == Row::Mapping) {
                    drawMapping(s, row.label, f.mappings[static_cast<std::size_t>(row.index)],
                                f.fixed.frame, xAt(i), fw, top, h);
                    continue;
                }
                std::string tip = row.label + " frame " + std::to_string(f.fixed.frame) + ": ";
                if (!row.analogue) {
                    s.rect(xAt(i) + 0.5, top + 3, fw - 1, h - 6, row.colour,
                           tip + (g == 0 ? "down" : "fired"));
                    continue;
                }
                double mid = row.signedValues ? top + h / 2.0 : top + h - 2.0;
                double span = row.signedValues ? h / 2.0 - 2.0 : h - 4.0;
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
        if (i > 0) {
            double x = xAt(i);
            if (previous.fixed.currentPad != f.fixed.currentPad)
                s.line(x, bandsTop + 2 * kRow, x, chartBottom,
                       std::string("stroke=\"") + kDeviceColour + "\" stroke-width=\"1.5\"");
            if (previous.fixed.channels != f.fixed.channels)
                s.line(x + 1, bandsTop + kRow, x + 1, chartBottom,
                       std::string("stroke=\"") + kChannelColour + "\" stroke-width=\"1\"" +
                           " stroke-dasharray=\"4,2\"");
        }
        if (f.fixed.frame % step == 0 || i == 0) {
            double x = xAt(i) + fw / 2;
            s.line(x, axisY, x, axisY + 4, "stroke=\"#333\"");
            s.text(x, axisY + 16, std::to_string(f.fixed.frame), tick);
        }
        std::swap(previous, f);
    }
    if (n > 0)
        for (Band& band : bands)
            closeSegment(band, n);

    // What happened between frames.
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        double x = xAt(m_sections[i].at);
        s.line(x, bandsTop, x, chartBottom, "stroke=\"#999\" stroke-dasharray=\"2,3\"");
        s.rect(x + 1, bandsTop + 1, 18, kRow - 2, "#555", m_sections[i].text, "rx=\"3\"");
        s.text(x + 10, bandsTop + 12, std::to_string(i + 1),
               std::string(kFont) + " font-size=\"10\" fill=\"#fff\" text-anchor=\"middle\"");
    }
    for (const Mark& m : m_switches) {
        double x = xAt(m.at);
        int top = bandsTop + 3 * kRow;
        s.raw("<path d=\"M" + num(x - 4) + " " + std::to_string(top + kRow) + " L" + num(x) + " " +
              std::to_string(top + 6) + " L" + num(x + 4) + " " + std::to_string(top + kRow) +
              " Z\" fill=\"#b8860b\"><title>" + escape(m.text) + "</title></path>\n");
    }
    for (const auto& r : m_rumbles) {
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

    // Frame axis and section titles.
    s.line(labelWidth, axisY, labelWidth + n * fw, axisY, "stroke=\"#333\"");
    s.text(labelWidth - 8, axisY + 16, "frame", label);
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        int top = legendTop + static_cast<int>(i) * 15;
        std::string at = m_sections[i].at < n ? "from frame " + std::to_string(m_sections[i].frame)
                                              : "at the end";
        s.text(12, top, std::to_string(i + 1) + "  " + m_sections[i].text + "  (" + at + ")",
               std::string(kFont) + " font-size=\"11\" fill=\"#333\"");
    }
    s.raw("</svg>\n");
    s.finish();
}

} // namespace timeline
} // namespace inputscope
