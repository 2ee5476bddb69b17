#pragma once

// The SVG timeline as a view of a run, shared by its sources: svg_output.cpp takes the entries
// and spools the frames, svg_draw.cpp draws the chart from them at the end.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "output.h"
#include "svg_frames.h"

namespace inputscope {
namespace timeline {

inline constexpr const char* kPadColour = "#3b6fb6";
inline constexpr const char* kKeyColour = "#8a5cb8";
inline constexpr const char* kActionColour = "#2e8b57";
// A fixed palette for channel masks, in order of first appearance.
inline constexpr const char* kPalette[] = {"#dbe8f7", "#fde3c8", "#d9f0d9", "#f3d9ec",
                                           "#fff3bf", "#e0e0f5", "#d6f0f0", "#f0e0d0"};

// One row of the chart: where its value comes from in a frame, drawn as on/off bars or as
// signed bars.
struct Row {
    enum Source { Button, Trigger, Axis, Key, Mouse, Action, Mapping } source = Button;
    int slot = 0, index = 0; // pad slot (raw: 1 for raw keys) and code, trigger, axis or key
    std::string label;
    const char* colour = kPadColour;
    bool analogue = false;
    bool signedValues = false;
    double scale = 1.0; // the value drawn at full height
    std::string note;   // after the label, e.g. the scale

    Row(Source source_, int slot_, int index_, std::string label_, const char* colour_ = kPadColour,
        bool analogue_ = false, bool signed_ = false, double scale_ = 1.0, std::string note_ = "")
        : source(source_), slot(slot_), index(index_), label(std::move(label_)), colour(colour_),
          analogue(analogue_), signedValues(signed_), scale(scale_), note(std::move(note_)) {}

    double value(const ChartFrame& f) const {
        const ChartFrame::Fixed& x = f.fixed;
        switch (source) {
        case Button: return (x.buttons[slot] >> index) & 1u;
        case Trigger: return x.triggers[slot][index];
        case Axis: return x.axis[slot][index];
        case Key: return f.keyDown(slot, index) ? 1.0 : 0.0;
        case Mouse: return x.mouse[index];
        case Action:
            for (const auto& v : f.values)
                if (v.first == index)
                    return v.second;
            return 0.0;
        case Mapping: // drawn apart, from its state and events
            return static_cast<std::size_t>(index) < f.mappings.size() ? 1.0 : 0.0;
        }
        return 0.0;
    }
};

struct Group {
    std::string title;
    std::vector<Row> rows;
};

// The timeline takes each frame's chart values to a scratch file and keeps only what decides the
// layout (which rows appear, their peaks, the marks between frames); the chart is drawn at the
// end, since its width depends on the frame count, reading the frames back once.
class SvgView : public TraceSink {
public:
    SvgView(ByteOut out, std::string* error);
    void begin(const std::string& session, long long) override { m_session = session; }
    void entry(const Entry& e) override;
    void end(long long) override;

private:
    struct Mark {
        int at; // frame index the mark precedes
        std::string text;
        int frame = 0; // its number, once drawn
    };
    struct ActionSeen {
        std::string name;
        bool analogue = false;
        bool any = false;
        double peak = 1.0;
    };

    void failed();
    void frame(const FrameView& f);
    std::vector<Row> inputRows() const;
    // Every action that fired, in id order, or the chosen ones in the order they came.
    std::vector<Row> actionRows() const;
    // A lane per mapping action of the contexts layer, in id order.
    std::vector<Row> mappingRows() const;
    void draw();

    ByteOut m_out;
    std::string* m_error;
    FrameSpool m_spool;
    bool m_failed = false;
    std::string m_session;
    int m_frames = 0;
    std::vector<Mark> m_sections, m_switches;
    std::vector<std::pair<int, RumbleView>> m_rumbles;
    bool m_chosen = false;
    std::map<std::uint32_t, const char*> m_maskColour;
    std::uint16_t m_padAny[4] = {};
    bool m_triggerAny[4][2] = {};
    bool m_axisAny[4][4] = {};
    std::vector<bool> m_keyAny[2] = {std::vector<bool>(input::KEY_COUNT),
                                     std::vector<bool>(input::KEY_COUNT)};
    double m_mousePeak[3] = {};
    std::map<int, ActionSeen> m_actions;
    std::vector<int> m_actionOrder;
    std::vector<std::string> m_mappingNames; // by id
};

} // namespace timeline
} // namespace inputscope
