#pragma once

// The three views of a run: the terminal table, JSON for machines and the SVG timeline. Each is a
// sink that takes the entries as the run makes them, so the table and the JSON go out line by
// line and a long session costs no memory per frame; the timeline spools its frames to a scratch
// file and draws them at the end.

#include <functional>
#include <memory>
#include <string>

#include "runner.h"

namespace inputscope {

// Where a view's bytes go, a chunk at a time.
using ByteOut = std::function<void(const std::string& bytes)>;

// Bytes a view gathers before it passes them on; `eachEntry` passes every entry at once instead,
// for a live run that a person (or a pipe) follows.
constexpr std::size_t kOutputChunk = 1 << 16;
std::unique_ptr<TraceSink> textView(bool colour, ByteOut out, bool eachEntry = false);
std::unique_ptr<TraceSink> jsonView(ByteOut out, bool eachEntry = false);
// The timeline spools its frames to a scratch file; a failure there leaves the chart unwritten
// and says why in `error` (checked after the run).
std::unique_ptr<TraceSink> svgView(ByteOut out, std::string* error);

// A whole recorded trace through a view, as one string.
std::string renderText(const Trace& trace, bool colour);
std::string renderJson(const Trace& trace);
std::string renderSvg(const Trace& trace);

// A number with a fixed count of decimals, rounded the same way on every platform; `sign` puts
// '+' before positive values and a space before zero.
std::string fixed(double value, int decimals, bool sign = false);

} // namespace inputscope
