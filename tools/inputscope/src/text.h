#pragma once

// Text as the tool reads and prints it: strict UTF-8 in, and nothing a terminal or an XML parser
// would take for something else out.

#include <cstddef>
#include <cstdint>
#include <string>

namespace inputscope {

// The code point that starts at `at`, and its length in bytes. False for bytes that do not form
// well-formed UTF-8: a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate or a value above U+10FFFF.
bool decodeUtf8(const std::string& text, std::size_t at, std::uint32_t& codePoint,
                std::size_t& length);

// C0 controls, DEL and the C1 controls U+0080 to U+009F.
bool isControl(std::uint32_t codePoint);

// The text with every control character written as an escape (\t, \n, \r, \x1b, \u{85}) and every
// byte that is not UTF-8 as \xNN: safe on a terminal, in a log line and in XML.
std::string printable(const std::string& text);

// Wide text (UTF-16 where wchar_t has 16 bits, UTF-32 elsewhere) to UTF-8 and back, for the
// library's key names and the string table.
std::string toUtf8(const wchar_t* text);
std::wstring fromUtf8(const std::string& text);

// "1 frame", "2 frames".
std::string counted(long long count, const std::string& singular);

} // namespace inputscope
