#pragma once

// The timeline's frames kept out of memory: what the chart draws of each frame goes to a scratch
// file as the run makes it and is read back once, in order, when the chart is drawn, so that a
// million frames cost disk, not memory.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "input/types.h"
#include "runner.h"

namespace inputscope {

struct ChartFrame {
    struct Fixed {
        std::int32_t frame = 0;
        std::uint32_t channels = 0;
        std::int32_t currentPad = 0; // -1: keyboard and mouse
        std::int32_t buffering = 1;
        std::uint16_t buttons[4] = {};
        std::uint8_t triggers[4][2] = {};
        std::int32_t axis[4][4] = {};
        std::uint8_t keys[2][(input::KEY_COUNT + 7) / 8] = {}; // the key snapshot, raw keys
        std::int32_t mouse[3] = {};                            // dx, dy, wheel
    } fixed;
    // The actions read, as the chart draws them: 1 or 0 for digital ones, else the value.
    std::vector<std::pair<std::int32_t, float>> values;
    // The mapping actions, by id, when the session declares any.
    struct Mapping {
        std::int32_t state = 0, events = 0;
        float x = 0.0f, y = 0.0f, hold = 0.0f;
    };
    std::vector<Mapping> mappings;

    bool keyDown(int raw, int key) const { return (fixed.keys[raw][key >> 3] >> (key & 7)) & 1; }
};

// What the chart takes of a frame.
ChartFrame chartFrame(const FrameView& frame);

class FrameSpool {
public:
    FrameSpool() = default;
    FrameSpool(const FrameSpool&) = delete;
    FrameSpool& operator=(const FrameSpool&) = delete;
    ~FrameSpool();

    // Each false with error() saying why.
    bool open();
    bool write(const ChartFrame& frame);
    bool rewind();
    bool read(ChartFrame& frame);
    const std::string& error() const { return m_error; }

private:
    bool fail(const char* what);

    std::FILE* m_file = nullptr;
    std::string m_error;
};

} // namespace inputscope
