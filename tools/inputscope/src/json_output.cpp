// The trace for machines: every entry in session order, each frame with its full state.

#include <cmath>
#include <cstdio>

#include "names.h"
#include "output.h"

namespace inputscope {

namespace {

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// JSON has no NaN or infinity; they print as null.
std::string number(double value, int decimals) {
    if (!std::isfinite(value))
        return "null";
    std::string text = fixed(value, decimals);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

const char* boolean(bool value) {
    return value ? "true" : "false";
}

class Object {
public:
    explicit Object(std::string& out) : m_out(out) { m_out += '{'; }
    Object& field(const char* name, const std::string& raw) {
        m_out += m_first ? "" : ", ";
        m_first = false;
        m_out += quote(name) + ": " + raw;
        return *this;
    }
    void close() { m_out += '}'; }

private:
    std::string& m_out;
    bool m_first = true;
};

template <class T, class F> std::string array(const std::vector<T>& items, F each) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + each(items[i]);
    return out + "]";
}

std::string inputsJson(const InputsView& in) {
    std::string out;
    Object o(out);
    std::string pads = "[";
    bool any = false;
    static const char* const kAxes[] = {"lx", "ly", "rx", "ry"};
    for (int slot = 0; slot < 4; ++slot) {
        const PadView& pad = in.pads[slot];
        if (!pad.connected)
            continue;
        std::vector<int> down;
        for (int code = 0; code < 16; ++code)
            if (pad.buttons & (1u << code))
                down.push_back(code);
        std::string p;
        Object po(p);
        po.field("slot", std::to_string(slot))
            .field("buttons", array(down, [](int c) { return quote(padCodeName(c)); }))
            .field("lt", std::to_string(pad.lt))
            .field("rt", std::to_string(pad.rt));
        for (int a = 0; a < 4; ++a)
            po.field(kAxes[a], std::to_string(pad.axis[a]));
        po.close();
        pads += (any ? ", " : "") + p;
        any = true;
    }
    pads += "]";
    o.field("pads", pads);
    o.field("keys", array(in.keys, [](int k) { return quote(keyName(k)); }));
    o.field("rawKeys", array(in.rawKeys, [](int k) { return quote(keyName(k)); }));
    std::string mouse;
    Object mo(mouse);
    mo.field("dx", std::to_string(in.mouseX))
        .field("dy", std::to_string(in.mouseY))
        .field("wheel", std::to_string(in.wheel));
    mo.close();
    o.field("mouse", mouse);
    o.field("typed", array(in.typed, [](const TypedKey& t) {
                std::string out;
                Object to(out);
                to.field("key", quote(keyName(t.key)))
                    .field("char", quote(std::string(1, t.character)))
                    .field("modifiers", std::to_string(t.modifiers));
                to.close();
                return out;
            }));
    o.close();
    return out;
}

std::string frameJson(const FrameView& f, int line) {
    std::string out;
    Object o(out);
    std::vector<std::string> channels;
    for (int b = 0; b < 32; ++b)
        if (f.channels & (1u << b))
            channels.push_back(channelNames(1u << b));
    o.field("type", quote("frame"))
        .field("frame", std::to_string(f.frame))
        .field("reread", boolean(f.reread))
        .field("time", number(f.time, 6))
        .field("dt", number(f.dt, 6))
        .field("device", quote(f.keyboardAndMouse ? "keyboard+mouse" : "pad"))
        .field("currentPad", std::to_string(f.currentPad))
        .field("selectedPad", std::to_string(f.selectedPad))
        .field("channels", std::to_string(f.channels))
        .field("channelNames", array(channels, quote))
        .field("buffering", quote(f.buffering == input::BUFFERING_WORLD_STEP ? "world-step"
                                  : f.buffering == input::BUFFERING_LIVE     ? "live"
                                                                             : "other"))
        .field("inputs", inputsJson(f.inputs))
        .field("reads", array(f.reads, [](const ActionRead& r) {
                   std::string read;
                   Object ro(read);
                   ro.field("action", quote(r.name))
                       .field("id", std::to_string(r.id))
                       .field("type", quote(controlTypeName(r.type)))
                       .field("digital", boolean(r.digital))
                       .field("analog", number(r.analog, 6));
                   ro.close();
                   return read;
               }));
    if (line)
        o.field("line", std::to_string(line));
    o.close();
    return out;
}

} // namespace

std::string renderJson(const Trace& trace) {
    std::string out = "{\n  \"tool\": \"inputscope\",\n  \"session\": " + quote(trace.session) +
                      ",\n  \"frames\": " + std::to_string(trace.frames) + ",\n  \"entries\": [";
    bool firstEntry = true;
    for (const Entry& e : trace.entries) {
        std::string item;
        if (e.kind == EntryKind::Frame) {
            item = frameJson(e.frame, e.line);
            out += (firstEntry ? "\n    " : ",\n    ") + item;
            firstEntry = false;
            continue;
        }
        Object o(item);
        switch (e.kind) {
        case EntryKind::Section:
            o.field("type", quote("section")).field("text", quote(e.text));
            break;
        case EntryKind::Note: o.field("type", quote("note")).field("text", quote(e.text)); break;
        case EntryKind::Switch: o.field("type", quote("world-step-switch")); break;
        case EntryKind::StepReset: o.field("type", quote("step-buffers-reset")); break;
        case EntryKind::Show:
            o.field("type", quote("show")).field("actions", array(e.shown, quote));
            break;
        case EntryKind::Rumble:
            o.field("type", quote("rumble"))
                .field("frame", std::to_string(e.rumble.frame))
                .field("pad", std::to_string(e.rumble.pad))
                .field("left", std::to_string(e.rumble.left))
                .field("right", std::to_string(e.rumble.right));
            break;
        case EntryKind::Prompt: {
            const PromptView& p = e.prompt;
            o.field("type", quote("prompt"))
                .field("action", quote(p.name))
                .field("id", std::to_string(p.action))
                .field("glyph", std::to_string(p.glyph))
                .field("set", std::to_string(p.set));
            if (p.glyph >= 1) {
                std::string cell;
                Object co(cell);
                co.field("x", number(p.x, 3))
                    .field("y", number(p.y, 3))
                    .field("width", number(p.width, 3))
                    .field("height", number(p.height, 3))
                    .field("rotation", number(p.rotation, 6));
                co.close();
                o.field("cell", cell);
            } else {
                o.field("cell", "null");
            }
            o.field("keyCode", std::to_string(p.keyCode))
                .field("keyName", p.hasKey ? quote(p.keyName) : "null");
            break;
        }
        case EntryKind::Frame: break;
        }
        if (e.line)
            o.field("line", std::to_string(e.line));
        o.close();
        out += (firstEntry ? "\n    " : ",\n    ") + item;
        firstEntry = false;
    }
    out += firstEntry ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace inputscope
