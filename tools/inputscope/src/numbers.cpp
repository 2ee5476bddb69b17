#include "numbers.h"

#include <limits>

namespace inputscope {

IntegerRead readInteger(const std::string& text, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return IntegerRead::NotANumber;
    // Magnitudes up to 2^63, so that the lowest value reads too.
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0);
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return IntegerRead::NotANumber;
        if (magnitude > (limit - digit) / base)
            overflow = true; // keep reading: a later bad character makes it not a number
        else
            magnitude = magnitude * base + digit;
    }
    if (overflow)
        return IntegerRead::Overflow;
    value = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    return IntegerRead::Ok;
}

} // namespace inputscope
