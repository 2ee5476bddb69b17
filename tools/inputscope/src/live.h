#pragma once

// The live viewer: frames from the real keyboard, mouse and pads, through a window's message
// path, shown as a replay shows them and, when asked, recorded as a session.

#include <cstdint>
#include <functional>
#include <string>

#include "runner.h"
#include "session_writer.h"

namespace inputscope {

// The window both viewers draw in.
struct ViewerOptions {
    int width = 1280, height = 720; // the window's inside, in pixels
    // From frame 1: the frame to take a picture of, then stop (0: none). The picture goes to
    // `screenshot` as a BMP file's bytes.
    long long atFrame = 0;
    std::function<void(const std::string& bmp)> screenshot;
};

struct LiveOptions {
    double seconds = 0.0; // how long to run; 0: until the window is closed
    ViewerOptions view;
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
// Why this build has no window to play a session in, or null when it has.
const char* whyNoWatch();

// Runs frames at 60 Hz into `sink` (and `record`, when given) until the window closes, the time
// is up or Ctrl+C; "" when the run went its course, else why it could not start.
std::string runLive(const LiveOptions& options, TraceSink& sink, SessionWriter* record,
                    LiveSummary& summary);

// Plays the session in the window at its own pace (Space pauses, Right and Left step, + and -
// change the speed, Home restarts) until the window is closed, or up to `view.atFrame`; "" when
// it went its course, else why it could not. `shown`: the frame on screen at the end.
std::string runWatch(const Session& session, const RunOptions& run, const ViewerOptions& view,
                     long long& shown);

} // namespace inputscope
