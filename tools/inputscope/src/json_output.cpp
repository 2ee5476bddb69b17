// The trace for machines: every entry in session order, each frame with its full state. Each
// entry is one nlohmann::json value on a line of its own; only the frame around them is written
// here, so that the entries can be written one by one.

#include <cmath>
#include <nlohmann/json.hpp>

#include "input/contexts.h"
#include "input/version.h"
#include "names.h"
#include "output.h"

namespace inputscope {

namespace {

using Json = nlohmann::ordered_json;

// Rounded to `decimals`; JSON has no NaN or infinity, so they are null.
Json number(double value, int decimals) {
    if (!std::isfinite(value))
        return nullptr;
    double scale = std::pow(10.0, decimals);
    double rounded = std::round(value * scale) / scale;
    return rounded == 0.0 ? 0.0 : rounded; // no "-0.0"
}

// One line: strings that are not UTF-8 (a key name from the system, say) get U+FFFD.
std::string line(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json inputsJson(const InputsView& in) {
    Json pads = Json::array();
    static const char* const kAxes[] = {"lx", "ly", "rx", "ry"};
    for (int slot = 0; slot < 4; ++slot) {
        const PadView& pad = in.pads[slot];
        if (!pad.connected)
            continue;
        Json buttons = Json::array();
        for (int code = 0; code < 16; ++code)
            if (pad.buttons & (1u << code))
                buttons.push_back(padCodeName(code));
        Json p = {{"slot", slot}, {"buttons", buttons}, {"lt", pad.lt}, {"rt", pad.rt}};
        for (int a = 0; a < 4; ++a)
            p[kAxes[a]] = pad.axis[a];
        pads.push_back(p);
    }
    Json keys = Json::array(), rawKeys = Json::array(), typed = Json::array();
    for (int key : in.keys)
        keys.push_back(keyName(key));
    for (int key : in.rawKeys)
        rawKeys.push_back(keyName(key));
    for (const TypedKey& t : in.typed)
        typed.push_back({{"key", keyName(t.key)},
                         {"char", std::string(1, t.character)},
                         {"modifiers", t.modifiers}});
    return {{"pads", pads},
            {"keys", keys},
            {"rawKeys", rawKeys},
            {"mouse", {{"dx", in.mouseX}, {"dy", in.mouseY}, {"wheel", in.wheel}}},
            {"typed", typed}};
}

Json frameJson(const FrameView& f) {
    Json channels = Json::array();
    for (int b = 0; b < 32; ++b)
        if (f.channels & (1u << b))
            channels.push_back(channelNames(1u << b));
    Json reads = Json::array();
    for (const ActionRead& r : f.reads)
        reads.push_back({{"action", r.name},
                         {"id", r.id},
                         {"type", controlTypeName(r.type)},
                         {"digital", r.digital},
                         {"analog", number(r.analog, 6)}});
    Json o = {{"type", "frame"},
              {"frame", f.frame},
              {"reread", f.reread},
              {"time", number(f.time, 6)},
              {"dt", number(f.dt, 6)},
              {"device", f.keyboardAndMouse ? "keyboard+mouse" : "pad"},
              {"currentPad", f.currentPad},
              {"selectedPad", f.selectedPad},
              {"channels", f.channels},
              {"channelNames", channels},
              {"buffering", f.buffering == input::BUFFERING_WORLD_STEP ? "world-step"
                            : f.buffering == input::BUFFERING_LIVE     ? "live"
                                                                       : "other"},
              {"inputs", inputsJson(f.inputs)},
              {"reads", reads}};
    // Only a session that declares mapping actions has the field, so other outputs stay as
    // they were.
    if (!f.mappings.empty()) {
        Json mappings = Json::array();
        for (const MappingRead& m : f.mappings) {
            Json events = Json::array();
            for (std::uint32_t bit = 1; bit <= input::EVENT_CANCELED; bit <<= 1)
                if (m.events & bit)
                    events.push_back(eventName(bit));
            Json r = {{"action", m.name},
                      {"id", m.id},
                      {"type", valueTypeName(m.type)},
                      {"state", triggerStateName(m.state)},
                      {"events", events}};
            if (m.type == input::VALUE_AXIS_2D)
                r["value"] = {number(m.x, 6), number(m.y, 6)};
            else
                r["value"] = number(m.x, 6);
            r["hold"] = number(m.hold, 6);
            mappings.push_back(r);
        }
        o["mappings"] = mappings;
    }
    return o;
}

Json entryJson(const Entry& e) {
    Json o;
    switch (e.kind) {
    case EntryKind::Frame: o = frameJson(e.frame); break;
    case EntryKind::Section: o = {{"type", "section"}, {"text", e.text}}; break;
    case EntryKind::Note: o = {{"type", "note"}, {"text", e.text}}; break;
    case EntryKind::Binding: o = {{"type", "binding"}, {"text", e.text}}; break;
    case EntryKind::Switch: o = {{"type", "world-step-switch"}}; break;
    case EntryKind::StepReset: o = {{"type", "step-buffers-reset"}}; break;
    case EntryKind::Show: o = {{"type", "show"}, {"actions", e.shown}}; break;
    case EntryKind::Rumble:
        o = {{"type", "rumble"},
             {"frame", e.rumble.frame},
             {"pad", e.rumble.pad},
             {"left", e.rumble.left},
             {"right", e.rumble.right}};
        break;
    case EntryKind::KeyName:
        o = {{"type", "key-name"}, {"key", e.prompt.keyCode}, {"name", e.prompt.keyName}};
        break;
    case EntryKind::Prompt: {
        const PromptView& p = e.prompt;
        o = {{"type", "prompt"},
             {"action", p.name},
             {"id", p.action},
             {"glyph", p.glyph},
             {"set", p.set}};
        if (p.glyph >= 1)
            o["cell"] = {{"x", number(p.x, 3)},
                         {"y", number(p.y, 3)},
                         {"width", number(p.width, 3)},
                         {"height", number(p.height, 3)},
                         {"rotation", number(p.rotation, 6)}};
        else
            o["cell"] = nullptr;
        o["keyCode"] = p.keyCode;
        o["keyName"] = p.hasKey ? Json(p.keyName) : Json(nullptr);
        break;
    }
    }
    if (e.line)
        o["line"] = e.line;
    return o;
}

// The JSON, an entry a line as they come.
class JsonView : public TraceSink {
public:
    JsonView(ByteOut out, std::size_t chunk) : m_out(std::move(out)), m_chunk(chunk) {}

    void begin(const std::string& session, long long) override {
        m_text = "{\n  \"tool\": \"inputscope\",\n  \"version\": " + line(INPUT_VERSION_STRING) +
                 ",\n  \"session\": " + line(session) + ",\n  \"entries\": [";
    }
    void entry(const Entry& e) override {
        m_text += (m_first ? "\n    " : ",\n    ") + line(entryJson(e));
        m_first = false;
        if (m_text.size() >= m_chunk)
            pass();
    }
    void end(long long frames) override {
        m_text += m_first ? "],\n" : "\n  ],\n";
        m_text += "  \"frames\": " + std::to_string(frames) + "\n}\n";
        pass();
    }

private:
    void pass() {
        m_out(m_text);
        m_text.clear();
    }

    ByteOut m_out;
    std::size_t m_chunk;
    std::string m_text;
    bool m_first = true;
};

} // namespace

std::unique_ptr<TraceSink> jsonView(ByteOut out, bool eachEntry) {
    return std::make_unique<JsonView>(std::move(out), eachEntry ? 1 : kOutputChunk);
}

std::string renderJson(const Trace& trace) {
    std::string text;
    std::unique_ptr<TraceSink> view = jsonView([&](const std::string& b) { text += b; });
    replay(trace, *view);
    return text;
}

} // namespace inputscope
