#pragma once

// Writes what a live run saw as a session text that replays to the same reads: the events as
// they came (mouse records, raw keys, focus, device changes), then for each frame the state the
// library polled for it (the key snapshot, the mouse buttons, the pads) and the frame's dt. Only
// changes are written, so a quiet frame costs one line.

#include <cstdint>
#include <string>

#include "app/events.h"
#include "output.h"
#include "runner.h"

namespace inputscope {

class SessionWriter {
public:
    // `out` takes the text as it grows, a line at a time.
    explicit SessionWriter(ByteOut out);

    // The screen sizes the absolute mouse records are scaled by, and the host's own statements
    // before the first frame (`line` is written as it stands).
    void screen(int width, int height, int virtualWidth, int virtualHeight);
    void statement(const std::string& line);

    void mouseRecord(const app::InputEvent& event);
    void rawKey(const app::RawKeyEvent& event);
    void focus(bool on);
    void refresh();
    // After the frame's update: the snapshot handed to the PC device and what the library polled
    // (`after`: its mouse buttons and pads), then the frame itself.
    void frame(float dt, const bool (&keys)[256], const FrameView& after);

    // Mouse records that a session cannot hold (an absolute position outside 0-65535).
    std::uint64_t unwritten() const { return m_unwritten; }

private:
    void emit(const std::string& line) { m_out(line + "\n"); }

    ByteOut m_out;
    bool m_keys[256] = {};
    bool m_buttons[5] = {};
    PadView m_pads[4];
    bool m_padWritten[4] = {false, false, false, false};
    std::uint64_t m_unwritten = 0;
};

// A float as a session reads it back to the same value.
std::string exactFloat(float value);

} // namespace inputscope
