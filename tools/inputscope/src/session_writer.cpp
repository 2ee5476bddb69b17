#include "session_writer.h"

#include <cstdio>
#include <cstdlib>

#include "names.h"

namespace inputscope {

namespace {

// The mouse buttons as the PC device reads them from the operating system, with their session
// names.
const int kButtonCodes[5] = {1, 2, 4, 5, 6};
const char* const kButtonNames[5] = {"left", "right", "middle", "x1", "x2"};

// A relative motion a session line holds; larger ones are split, which adds up the same.
constexpr long long kMostMotion = 1000000;

bool sameReport(const PadView& a, const PadView& b) {
    if (a.connected != b.connected || a.buttons != b.buttons || a.lt != b.lt || a.rt != b.rt)
        return false;
    for (int i = 0; i < 4; ++i)
        if (a.axis[i] != b.axis[i])
            return false;
    return true;
}

std::string character(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && c != '"' && c != '\\' && c != '#')
        return std::string(1, c);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned>(byte));
    return hex;
}

} // namespace

std::string exactFloat(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

SessionWriter::SessionWriter(ByteOut out) : m_out(std::move(out)) {}

void SessionWriter::screen(int width, int height, int virtualWidth, int virtualHeight) {
    emit("screen " + std::to_string(width) + " " + std::to_string(height));
    emit("screen virtual " + std::to_string(virtualWidth) + " " + std::to_string(virtualHeight));
}

void SessionWriter::statement(const std::string& line) {
    emit(line);
}

void SessionWriter::mouseRecord(const app::InputEvent& event) {
    // The record sits at a 4-byte offset in the packed event: read its fields through the event
    // (the mouse part needs only 4-byte alignment), never through a reference to the whole.
    if (event.rawInput.header.dwType != app::RIM_TYPEMOUSE)
        return;
    const app::RawMouse& mouse = event.rawInput.data.mouse;
    if (mouse.usFlags & app::MOUSE_MOVE_ABSOLUTE) {
        if (mouse.lLastX < 0 || mouse.lLastX > 65535 || mouse.lLastY < 0 || mouse.lLastY > 65535) {
            ++m_unwritten;
        } else {
            bool virtualDesktop = (mouse.usFlags & app::MOUSE_VIRTUAL_DESKTOP) != 0;
            emit("mouse abs " + std::to_string(mouse.lLastX) + " " + std::to_string(mouse.lLastY) +
                 (virtualDesktop ? " virtual" : ""));
        }
    } else if (mouse.lLastX != 0 || mouse.lLastY != 0) {
        long long x = mouse.lLastX, y = mouse.lLastY;
        while (x != 0 || y != 0) {
            long long dx = x > kMostMotion ? kMostMotion : x < -kMostMotion ? -kMostMotion : x;
            long long dy = y > kMostMotion ? kMostMotion : y < -kMostMotion ? -kMostMotion : y;
            emit("mouse move " + std::to_string(dx) + " " + std::to_string(dy));
            x -= dx;
            y -= dy;
        }
    }
    // The library counts a notch by the sign of the wheel data alone.
    if (mouse.usButtonFlags & app::RI_MOUSE_WHEEL) {
        auto data = static_cast<std::int16_t>(mouse.usButtonData);
        if (data != 0)
            emit(data > 0 ? "mouse wheel 1" : "mouse wheel -1");
    }
}

void SessionWriter::rawKey(const app::RawKeyEvent& event) {
    std::string line =
        std::string("rawkey ") + (event.down ? "down " : "up ") + keyName(event.keyCode);
    if (event.down) {
        if (event.modifiers & app::RawKeyEvent::MODIFIER_SHIFT)
            line += " shift";
        if (event.modifiers & app::RawKeyEvent::MODIFIER_CTRL)
            line += " ctrl";
        if (event.modifiers & app::RawKeyEvent::MODIFIER_ALT)
            line += " alt";
        if (event.character != 0)
            line += " char=" + character(event.character);
    }
    emit(line);
}

void SessionWriter::focus(bool on) {
    emit(on ? "focus on" : "focus off");
}

void SessionWriter::refresh() {
    emit("refresh");
}

void SessionWriter::frame(float dt, const bool (&keys)[256], const FrameView& after) {
    std::string changes;
    for (int vk = 0; vk < 256; ++vk) {
        bool button = vk == 1 || vk == 2 || vk == 4 || vk == 5 || vk == 6;
        if (button || keys[vk] == m_keys[vk]) // the PC device reads the buttons itself
            continue;
        m_keys[vk] = keys[vk];
        changes += std::string(" ") + (keys[vk] ? "+" : "-") + keyName(vk);
    }
    if (!changes.empty())
        emit("keys" + changes);

    changes.clear();
    for (int i = 0; i < 5; ++i) {
        bool down = false;
        for (int key : after.inputs.keys)
            down = down || key == kButtonCodes[i];
        if (down == m_buttons[i])
            continue;
        m_buttons[i] = down;
        changes += std::string(" ") + (down ? "+" : "-") + kButtonNames[i];
    }
    if (!changes.empty())
        emit("mouse buttons" + changes);

    // A pad's report as the library polled it; a pad it found missing stays missing in the
    // replay too, until a refresh.
    for (int slot = 0; slot < 4; ++slot) {
        const PadView& pad = after.inputs.pads[slot];
        if (m_padWritten[slot] && sameReport(pad, m_pads[slot]))
            continue;
        bool first = !m_padWritten[slot];
        m_pads[slot] = pad;
        m_padWritten[slot] = true;
        std::string n = std::to_string(slot);
        if (!pad.connected) {
            if (!first) // every slot starts disconnected
                emit("disconnect " + n);
            continue;
        }
        std::string line = "pad " + n + " none";
        for (int code = 0; code < 16; ++code)
            if (pad.buttons & (1u << code))
                line += " " + padCodeName(code);
        line += " lt=" + std::to_string(pad.lt) + " rt=" + std::to_string(pad.rt);
        static const char* const kAxes[4] = {"lx", "ly", "rx", "ry"};
        for (int a = 0; a < 4; ++a)
            line += std::string(" ") + kAxes[a] + "=" + std::to_string(pad.axis[a]);
        emit(line);
    }
    emit("frame dt=" + exactFloat(dt));
}

} // namespace inputscope
