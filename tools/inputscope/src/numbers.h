#pragma once

// Integers as sessions and the command line write them: decimal (leading zeros too), or
// hexadecimal after 0x, with an optional sign.

#include <string>

namespace inputscope {

enum class IntegerRead {
    Ok,
    NotANumber, // anything else: empty, other characters, a bare "0x"
    Overflow,   // well formed, but beyond 64 bits
};

IntegerRead readInteger(const std::string& text, long long& value);

} // namespace inputscope
