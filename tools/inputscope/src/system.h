#pragma once

// The few things the tool asks of the operating system, the same way on Linux and Windows.

#include <cstddef>
#include <cstdio>
#include <string>

namespace inputscope {

// Whether standard output (or error) is a terminal that shows colour; on Windows this also
// switches the console to understand colour sequences, and says false when it cannot.
bool stdoutIsTerminal();
bool stderrIsTerminal();
// Standard input and output pass bytes unchanged (no "\r\n" for "\n" on Windows).
void useBinaryStdio();

// A whole file, or standard input for "-"; false and a reason when it cannot be read or holds
// more than `limit` bytes.
bool readFile(const std::string& path, std::size_t limit, std::string& content, std::string& error);
bool readStandardInput(std::size_t limit, std::string& content, std::string& error);

// A file to write and read back within the run, removed when it is closed (and when the process
// ends, however it ends); null and a reason when none can be made.
std::FILE* scratchFile(std::string& error);

// The whole of `content` through an OutputFile.
bool writeFileAtomically(const std::string& path, const std::string& content, std::string& error);

// A file written under a temporary name beside its path and renamed over the path by commit(),
// so that a failure at any point leaves no half-written file: what is not committed is removed.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool open(const std::string& path, std::string& error);
    bool write(const std::string& bytes, std::string& error);
    bool commit(std::string& error);
    // The temporary's name while open (for tests).
    const std::string& temporaryPath() const { return m_temporary; }

private:
    void discard();

    std::string m_path, m_temporary;
    std::FILE* m_file = nullptr;
};

} // namespace inputscope
