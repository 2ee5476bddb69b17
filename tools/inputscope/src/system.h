#pragma once

// The few things the tool asks of the operating system, the same way on Linux and Windows.

#include <string>

namespace inputscope {

// Whether standard output (or error) is a terminal that shows colour; on Windows this also
// switches the console to understand colour sequences, and says false when it cannot.
bool stdoutIsTerminal();
bool stderrIsTerminal();
// Standard output passes bytes unchanged (no "\r\n" for "\n" on Windows).
void useBinaryStdout();

// A whole file; false and a reason when it cannot be read.
bool readFile(const std::string& path, std::string& content, std::string& error);
// Writes a temporary file beside `path` and renames it over `path`, so that a failure leaves no
// half-written file behind.
bool writeFileAtomically(const std::string& path, const std::string& content, std::string& error);

} // namespace inputscope
