#pragma once

// The three views of a trace: the terminal table, JSON for machines and the SVG timeline.

#include <string>

#include "runner.h"

namespace inputscope {

std::string renderText(const Trace& trace, bool colour);
std::string renderJson(const Trace& trace);
std::string renderSvg(const Trace& trace);

// A number with a fixed count of decimals, rounded the same way on every platform; `sign` puts
// '+' before positive values and a space before zero.
std::string fixed(double value, int decimals, bool sign = false);

} // namespace inputscope
