#include "text.h"

#include <cstdio>

namespace inputscope {

bool decodeUtf8(const std::string& text, std::size_t at, std::uint32_t& codePoint,
                std::size_t& length) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char first = byte(at);
    if (first < 0x80) {
        codePoint = first;
        length = 1;
        return true;
    }
    std::size_t extra;
    std::uint32_t lowest;
    if (first >= 0xC2 && first <= 0xDF) {
        extra = 1;
        lowest = 0x80;
    } else if (first >= 0xE0 && first <= 0xEF) {
        extra = 2;
        lowest = 0x800;
    } else if (first >= 0xF0 && first <= 0xF4) {
        extra = 3;
        lowest = 0x10000;
    } else {
        return false; // a continuation byte, C0/C1 (always overlong) or F5 and above
    }
    if (at + extra >= text.size())
        return false; // cut short by the end
    std::uint32_t value = first & (0x3Fu >> extra);
    for (std::size_t i = 1; i <= extra; ++i) {
        unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    codePoint = value;
    length = extra + 1;
    return true;
}

bool isControl(std::uint32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

std::string printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    char escape[16];
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t c;
        std::size_t length;
        if (!decodeUtf8(text, i, c, length)) {
            std::snprintf(escape, sizeof escape, "\\x%02x",
                          static_cast<unsigned>(static_cast<unsigned char>(text[i])));
            out += escape;
            ++i;
            continue;
        }
        if (!isControl(c)) {
            out.append(text, i, length);
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x80) {
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c));
            out += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\u{%x}", static_cast<unsigned>(c));
            out += escape;
        }
        i += length;
    }
    return out;
}

std::string counted(long long count, const std::string& singular) {
    return std::to_string(count) + " " + singular + (count == 1 ? "" : "s");
}

} // namespace inputscope
