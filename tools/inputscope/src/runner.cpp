#include "runner.h"

#include "host.h"
#include "input/input.h"
#include "standin/control.h"

namespace inputscope {

std::string checkProfile(const std::string& text) {
    sim::reset();
    input::ProfileError error;
    bool applies;
    {
        input::InputManager manager(true, true);
        applies = input::readBindingProfile(manager, text.data(), text.size(), &error);
    }
    sim::reset();
    if (applies)
        return "";
    std::string where =
        error.line > 0 ? ":" + std::to_string(error.line) + ":" + std::to_string(error.column) : "";
    return where + ": error: " + error.message;
}

std::vector<std::uint8_t> runSession(const Session& session, const RunOptions& options,
                                     TraceSink& sink) {
    hosting::Host host(session, options, sink);
    return host.run();
}

Trace runSession(const Session& session, const RunOptions& options) {
    TraceRecorder recorder;
    std::vector<std::uint8_t> recorded = runSession(session, options, recorder);
    recorder.trace.recordedDemo = std::move(recorded);
    return std::move(recorder.trace);
}

} // namespace inputscope
