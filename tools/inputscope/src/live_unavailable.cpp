#include "live.h"

// The simulated platform has no devices and no message queue to read them from.

namespace inputscope {

const char* whyNoLive() {
    return "--live reads the real keyboard, mouse and pads, which only the Windows build can "
           "(this build runs on the simulated platform; a recorded session replays here)";
}

std::string runLive(const LiveOptions&, TraceSink&, SessionWriter*, LiveSummary&) {
    return whyNoLive();
}

} // namespace inputscope
