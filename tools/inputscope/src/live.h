#pragma once

// The live viewer: frames from the real keyboard, mouse and pads, through a window's message
// path, shown as a replay shows them and, when asked, recorded as a session.

#include <cstdint>
#include <string>

#include "runner.h"
#include "session_writer.h"

namespace inputscope {

struct LiveOptions {
    double seconds = 0.0; // how long to run; 0: until the window is closed
};

// What the run saw, for its closing line.
struct LiveSummary {
    long long frames = 0;
    std::uint64_t mouseRecords = 0;
    std::uint64_t keyboardRecords = 0;
    std::uint64_t focusChanges = 0;
};

// Why this build has no real devices to read, or null when it has (the Windows build).
const char* whyNoLive();

// Runs frames at 60 Hz into `sink` (and `record`, when given) until the window closes, the time
// is up or Ctrl+C; "" when the run went its course, else why it could not start.
std::string runLive(const LiveOptions& options, TraceSink& sink, SessionWriter* record,
                    LiveSummary& summary);

} // namespace inputscope
