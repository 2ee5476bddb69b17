#include "live.h"

// The simulated platform has no devices, no message queue to read them from and no window.

namespace inputscope {

const char* whyNoLive() {
    return "--live reads the real keyboard, mouse and pads, which only the Windows build can "
           "(this build runs on the simulated platform; a recorded session replays here)";
}

const char* whyNoWatch() {
    return "--watch plays the session in a window, which only the Windows build opens (here the "
           "table, --json and --svg show the same frames)";
}

std::string runLive(const LiveOptions&, TraceSink&, SessionWriter*, LiveSummary&) {
    return whyNoLive();
}

std::string runWatch(const Session&, const RunOptions&, const ViewerOptions&, long long&) {
    return whyNoWatch();
}

} // namespace inputscope
