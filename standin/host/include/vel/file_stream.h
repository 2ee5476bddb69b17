#pragma once

#include <cstddef>
#include <cstdint>

#include "host/api.h"

namespace vel {

// A byte stream over a real file or over memory. The mode says which way data flows: the engine
// records in MODE_WRITE and reads in every other mode. Read is the first transfer operation,
// write the second.
class HOST_API FileStream {
public:
    enum Mode { MODE_CLOSED = 0, MODE_READ = 1, MODE_WRITE = 2 };

    FileStream();
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens a file for reading or writing (binary); false when it cannot be opened.
    bool openFile(const char* path, Mode mode);
    // A memory stream that answers `mode` (any value, 0, 3 and -1 included) to the mode query
    // and carries out both transfers whatever the mode, so that a test sees which one its user
    // chose: reading serves a copy of `data`, writing collects into a buffer of its own.
    void openMemory(int mode, const void* data = nullptr, std::size_t size = 0);
    void close();

    int getMode() const;
    // Transfer operations: the number of bytes moved.
    std::uint32_t read(void* buffer, std::uint32_t bytes);
    std::uint32_t write(const void* buffer, std::uint32_t bytes);

    // Memory streams: the bytes written so far, and how many of the given bytes were read.
    const std::uint8_t* writtenData() const;
    std::size_t writtenSize() const;
    std::size_t position() const;

private:
    struct Impl;
    Impl* m_impl;
};

} // namespace vel
