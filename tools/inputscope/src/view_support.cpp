// What the viewer takes from the library and gives out as a file: the dead zone it draws, and
// the window's picture as a BMP.

#include "input/contexts.h"
#include "input/input.h"
#include "names.h"
#include "output.h"
#include "standin/control.h"
#include "view.h"

namespace inputscope {

std::vector<MappingView> mappingViews(const FrameView& frame) {
    std::vector<MappingView> views;
    for (const MappingRead& m : frame.mappings) {
        MappingView v;
        v.name = m.name;
        for (std::uint32_t bit = 1; bit <= input::EVENT_CANCELED; bit <<= 1)
            if (m.events & bit)
                v.events += std::string(v.events.empty() ? "" : " ") + eventName(bit);
        if (m.type != input::VALUE_DIGITAL)
            v.events += (v.events.empty() ? "" : "  ") + fixed(m.x, 2, true) +
                        (m.type == input::VALUE_AXIS_2D ? ", " + fixed(m.y, 2, true) : "");
        // A hold at rest or done shows no bar: only one under way is progress to watch.
        v.holdProgress = m.hold > 0.0f && m.hold < 1.0f ? m.hold : -1.0f;
        views.push_back(v);
    }
    return views;
}

float measureDeadZone() {
    sim::reset();
    float zone = 0.0f;
    {
        input::InputManager manager(true, true);
        sim::connectPad(0);
        auto readsZero = [&](int raw) {
            _tov_XINPUT_GAMEPAD report{};
            report.sThumbLX = static_cast<std::int16_t>(raw);
            sim::setPad(0, report);
            manager.update(1.0f / 60.0f);
            return manager.getGamepad(0)->getAxis(0) == 0.0f;
        };
        // The last raw value that still reads 0, by halving.
        int low = 0, high = 32767;
        if (!readsZero(high)) {
            while (high - low > 1) {
                int mid = (low + high) / 2;
                (readsZero(mid) ? low : high) = mid;
            }
            zone = static_cast<float>(low) / 32767.0f;
        }
    }
    sim::reset();
    return zone;
}

std::string encodeBmp(int width, int height, const std::vector<std::uint32_t>& pixels) {
    // Bottom-up rows of 3 bytes a pixel, each padded to 4 bytes.
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
    std::size_t image = stride * static_cast<std::size_t>(height);
    std::string out(54 + image, '\0');
    auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, static_cast<std::uint32_t>(out.size()), 4);
    put(10, 54, 4); // the pixels' offset
    put(14, 40, 4); // BITMAPINFOHEADER
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);  // planes
    put(28, 24, 2); // bits per pixel
    put(34, static_cast<std::uint32_t>(image), 4);
    put(38, 2835, 4); // 72 dpi
    put(42, 2835, 4);
    for (int y = 0; y < height; ++y) {
        std::size_t row = 54 + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = pixels[static_cast<std::size_t>(y) * width + x];
            std::size_t at = row + static_cast<std::size_t>(x) * 3;
            out[at] = static_cast<char>(c & 0xFF);             // blue
            out[at + 1] = static_cast<char>((c >> 8) & 0xFF);  // green
            out[at + 2] = static_cast<char>((c >> 16) & 0xFF); // red
        }
    }
    return out;
}

} // namespace inputscope
