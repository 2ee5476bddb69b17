// --watch: a session played in the viewer window at its own pace, with the keys of a player.

#include <algorithm>

#include "frame_player.h"
#include "live.h"
#include "view_windows.h"

namespace inputscope {

namespace {

constexpr double kSlowest = 1.0 / 16, kFastest = 16.0;

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&m_frequency); }
    double now() const {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart) / static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
};

std::string speedText(double speed) {
    if (speed >= 1.0)
        return std::to_string(static_cast<int>(speed)) + "x";
    return "1/" + std::to_string(static_cast<int>(1.0 / speed + 0.5)) + "x";
}

} // namespace

const char* whyNoWatch() {
    return nullptr;
}

std::string runWatch(const Session& session, const RunOptions& run, const ViewerOptions& view,
                     long long& shown) {
    ViewModel model;
    model.title = "watch: " + session.file;
    model.deadZone = measureDeadZone();
    model.help = "keys: Space, Left, Right, +, -, Home";
    FramePlayer player(session, run);
    ViewerWindow window;
    std::string error;
    if (!window.create("inputscope watch", view.width, view.height, error))
        return "cannot open the window: " + error;

    if (view.atFrame > 0) {
        while (player.frame().frame < view.atFrame && player.forward()) {
        }
        model.frame = player.frame();
        model.mappings = mappingViews(model.frame);
        window.pump(0);
        window.show(model);
        if (player.frame().frame == view.atFrame && view.screenshot)
            view.screenshot(window.picture());
        shown = player.frame().frame;
        return "";
    }

    Clock clock;
    bool paused = false;
    double speed = 1.0;
    // A frame shows for its own time, scaled by the speed.
    auto frameTime = [&]() {
        return std::max(0.001, static_cast<double>(player.frame().dt)) / speed;
    };
    double due = clock.now() + frameTime();
    while (true) {
        model.frame = player.frame();
        model.mappings = mappingViews(model.frame);
        model.status = std::string(paused           ? "paused"
                                   : player.ended() ? "ended"
                                                    : "playing") +
                       ", speed " + speedText(speed);
        if (!player.have())
            model.status = "the session runs no frames";
        window.show(model);
        bool redraw = false;
        while (!redraw) {
            double wait = paused || player.ended() ? 0.05 : due - clock.now();
            if (!window.pump(static_cast<unsigned>(std::max(0.0, wait) * 1000.0))) {
                shown = player.frame().frame;
                return "";
            }
            for (int key : window.takeKeys()) {
                redraw = true;
                if (key == VK_SPACE) {
                    paused = !paused;
                } else if (key == VK_RIGHT) {
                    paused = true;
                    player.forward();
                } else if (key == VK_LEFT) {
                    paused = true;
                    player.back();
                } else if (key == VK_ADD || key == VK_OEM_PLUS) {
                    speed = std::min(kFastest, speed * 2);
                } else if (key == VK_SUBTRACT || key == VK_OEM_MINUS) {
                    speed = std::max(kSlowest, speed / 2);
                } else if (key == VK_HOME) {
                    player.restart();
                }
                due = clock.now() + frameTime();
            }
            double now = clock.now();
            if (!paused && !player.ended() && now >= due) {
                player.forward();
                // On time, unless far behind (a stall): then from now, without catching up.
                due = due + frameTime() < now - 0.25 ? now + frameTime() : due + frameTime();
                redraw = true;
            }
        }
    }
}

} // namespace inputscope
