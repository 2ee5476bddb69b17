#pragma once

#include <cstddef>
#include <cstdint>

#include "host/api.h"

namespace vel {

// A byte stream over a real file or over memory. The mode says which way data flows; read is the
// first transfer operation, write the second.
class HOST_API FileStream {
public:
    enum Mode { MODE_CLOSED = 0, MODE_READ = 1, MODE_WRITE = 2 };

    FileStream();
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens a file for reading or writing (binary); false when it cannot be opened.
    bool openFile(const char* path, Mode mode);
    // A memory stream: reading serves a copy of `data`; writing collects into memory.
    void openMemory(Mode mode, const void* data = nullptr, std::size_t size = 0);
    void close();

    int getMode() const;
    // Transfer operations: the number of bytes moved.
    std::uint32_t read(void* buffer, std::uint32_t bytes);
    std::uint32_t write(const void* buffer, std::uint32_t bytes);

    // Memory streams: the bytes held and the read position.
    const std::uint8_t* memoryData() const;
    std::size_t memorySize() const;
    std::size_t position() const;

private:
    struct Impl;
    Impl* m_impl;
};

} // namespace vel
