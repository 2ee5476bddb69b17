#include "vel/string.h"

#include <cstdio>
#include <cwchar>

namespace vel {

void String::format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    formatInternal(fmt, args);
    va_end(args);
}

void String::formatInternal(const char* fmt, va_list args) {
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    if (needed < 0) {
        clear();
        return;
    }
    clear();
    reserve(static_cast<std::uint32_t>(needed));
    std::vsnprintf(buffer(), static_cast<std::size_t>(needed) + 1, fmt, args);
    setLength(static_cast<std::uint32_t>(needed));
}

WString& WString::operator=(const char* text) {
    assignNarrow(text, text ? String::lengthOf(text) : 0);
    return *this;
}

void WString::assignNarrow(const char* text, std::uint32_t count) {
    clear();
    reserve(count);
    wchar_t* out = buffer();
    for (std::uint32_t i = 0; i < count; ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    setLength(count);
}

void WString::format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    formatInternal(fmt, args);
    va_end(args);
}

void WString::formatInternal(const wchar_t* fmt, va_list args) {
    // vswprintf cannot measure its output, so grow until the text fits.
    std::uint32_t room = capacity() < 64 ? 64 : capacity();
    for (;;) {
        clear();
        reserve(room);
        va_list attempt;
        va_copy(attempt, args);
        int written = std::vswprintf(buffer(), static_cast<std::size_t>(room) + 1, fmt, attempt);
        va_end(attempt);
        if (written >= 0 && static_cast<std::uint32_t>(written) <= room) {
            setLength(static_cast<std::uint32_t>(written));
            return;
        }
        if (room >= (1u << 20)) { // a format that never fits is an encoding error
            clear();
            return;
        }
        room *= 2;
    }
}

} // namespace vel
