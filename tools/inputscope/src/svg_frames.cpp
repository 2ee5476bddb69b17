#include "svg_frames.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "names.h"
#include "system.h"

namespace inputscope {

ChartFrame chartFrame(const FrameView& f) {
    ChartFrame c;
    ChartFrame::Fixed& x = c.fixed;
    x.frame = f.frame;
    x.channels = f.channels;
    x.currentPad = f.keyboardAndMouse ? -1 : f.currentPad;
    x.buffering = f.buffering;
    for (int slot = 0; slot < 4; ++slot) {
        const PadView& pad = f.inputs.pads[slot];
        x.buttons[slot] = pad.buttons;
        x.triggers[slot][0] = static_cast<std::uint8_t>(pad.lt);
        x.triggers[slot][1] = static_cast<std::uint8_t>(pad.rt);
        for (int a = 0; a < 4; ++a)
            x.axis[slot][a] = pad.axis[a];
    }
    for (int raw = 0; raw < 2; ++raw)
        for (int key : raw ? f.inputs.rawKeys : f.inputs.keys)
            if (key >= 0 && key < input::KEY_COUNT)
                x.keys[raw][key >> 3] =
                    static_cast<std::uint8_t>(x.keys[raw][key >> 3] | (1u << (key & 7)));
    x.mouse[0] = f.inputs.mouseX;
    x.mouse[1] = f.inputs.mouseY;
    x.mouse[2] = f.inputs.wheel;
    for (const ActionRead& r : f.reads) {
        float v = isAnalogueType(r.type) ? r.analog : (r.digital ? 1.0f : 0.0f);
        c.values.emplace_back(r.id, std::isfinite(v) ? v : 0.0f);
    }
    for (const MappingRead& m : f.mappings)
        c.mappings.push_back({m.state, static_cast<std::int32_t>(m.events), m.x, m.y, m.hold});
    return c;
}

FrameSpool::~FrameSpool() {
    if (m_file)
        std::fclose(m_file);
}

bool FrameSpool::fail(const char* what) {
    m_error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

bool FrameSpool::open() {
    m_file = scratchFile(m_error);
    if (!m_file)
        m_error = "no scratch file for the frames: " + m_error;
    return m_file != nullptr;
}

// The layout is this process's own: the file lives and dies with the run.
bool FrameSpool::write(const ChartFrame& frame) {
    std::uint32_t count = static_cast<std::uint32_t>(frame.values.size());
    std::uint32_t mappings = static_cast<std::uint32_t>(frame.mappings.size());
    if (std::fwrite(&frame.fixed, sizeof frame.fixed, 1, m_file) != 1 ||
        std::fwrite(&count, sizeof count, 1, m_file) != 1 ||
        (count > 0 &&
         std::fwrite(frame.values.data(), sizeof frame.values[0], count, m_file) != count) ||
        std::fwrite(&mappings, sizeof mappings, 1, m_file) != 1 ||
        (mappings > 0 && std::fwrite(frame.mappings.data(), sizeof frame.mappings[0], mappings,
                                     m_file) != mappings))
        return fail("cannot write the scratch file");
    return true;
}

bool FrameSpool::rewind() {
    if (std::fflush(m_file) != 0 || std::fseek(m_file, 0, SEEK_SET) != 0)
        return fail("cannot read the scratch file back");
    return true;
}

bool FrameSpool::read(ChartFrame& frame) {
    std::uint32_t count = 0;
    if (std::fread(&frame.fixed, sizeof frame.fixed, 1, m_file) != 1 ||
        std::fread(&count, sizeof count, 1, m_file) != 1)
        return fail("cannot read the scratch file");
    frame.values.resize(count);
    if (count > 0 &&
        std::fread(frame.values.data(), sizeof frame.values[0], count, m_file) != count)
        return fail("cannot read the scratch file");
    if (std::fread(&count, sizeof count, 1, m_file) != 1)
        return fail("cannot read the scratch file");
    frame.mappings.resize(count);
    if (count > 0 &&
        std::fread(frame.mappings.data(), sizeof frame.mappings[0], count, m_file) != count)
        return fail("cannot read the scratch file");
    return true;
}

} // namespace inputscope
