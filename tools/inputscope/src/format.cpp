#include <cmath>
#include <cstdio>
#include <string>

#include "output.h"

namespace inputscope {

std::string fixed(double value, int decimals, bool sign) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? (sign ? "+inf" : "inf") : "-inf";
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    if (std::fabs(value) * static_cast<double>(scale) >= 9e15) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3e", value);
        return text;
    }
    long long units = std::llround(value * static_cast<double>(scale));
    bool negative = units < 0;
    if (negative)
        units = -units;
    std::string digits = std::to_string(units / scale);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        digits +=
            '.' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    if (negative)
        return '-' + digits;
    if (sign)
        return (units == 0 ? ' ' : '+') + digits;
    return digits;
}

} // namespace inputscope
