#include "vel/file_stream.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace vel {

struct FileStream::Impl {
    int mode = MODE_CLOSED;
    std::FILE* file = nullptr;
    bool memory = false;
    std::vector<std::uint8_t> toRead;
    std::vector<std::uint8_t> written;
    std::size_t position = 0;
};

FileStream::FileStream() : m_impl(new Impl) {}

FileStream::~FileStream() {
    close();
    delete m_impl;
}

bool FileStream::openFile(const char* path, Mode mode) {
    close();
    if (mode != MODE_READ && mode != MODE_WRITE)
        return false;
    m_impl->file = std::fopen(path, mode == MODE_READ ? "rb" : "wb");
    if (!m_impl->file)
        return false;
    m_impl->mode = mode;
    return true;
}

void FileStream::openMemory(int mode, const void* data, std::size_t size) {
    close();
    m_impl->memory = true;
    m_impl->mode = mode;
    const std::uint8_t* begin = static_cast<const std::uint8_t*>(data);
    if (begin)
        m_impl->toRead.assign(begin, begin + size);
}

void FileStream::close() {
    if (m_impl->file)
        std::fclose(m_impl->file);
    m_impl->file = nullptr;
    m_impl->memory = false;
    m_impl->toRead.clear();
    m_impl->written.clear();
    m_impl->position = 0;
    m_impl->mode = MODE_CLOSED;
}

int FileStream::getMode() const {
    return m_impl->mode;
}

std::uint32_t FileStream::read(void* buffer, std::uint32_t bytes) {
    if (m_impl->file)
        return m_impl->mode == MODE_READ
                   ? static_cast<std::uint32_t>(std::fread(buffer, 1, bytes, m_impl->file))
                   : 0;
    if (!m_impl->memory)
        return 0;
    std::size_t left = m_impl->toRead.size() - m_impl->position;
    std::size_t count = bytes < left ? bytes : left;
    if (count)
        std::memcpy(buffer, m_impl->toRead.data() + m_impl->position, count);
    m_impl->position += count;
    return static_cast<std::uint32_t>(count);
}

std::uint32_t FileStream::write(const void* buffer, std::uint32_t bytes) {
    if (m_impl->file)
        return m_impl->mode == MODE_WRITE
                   ? static_cast<std::uint32_t>(std::fwrite(buffer, 1, bytes, m_impl->file))
                   : 0;
    if (!m_impl->memory)
        return 0;
    const std::uint8_t* begin = static_cast<const std::uint8_t*>(buffer);
    m_impl->written.insert(m_impl->written.end(), begin, begin + bytes);
    return bytes;
}

const std::uint8_t* FileStream::writtenData() const {
    return m_impl->written.data();
}
std::size_t FileStream::writtenSize() const {
    return m_impl->written.size();
}
std::size_t FileStream::position() const {
    return m_impl->position;
}

} // namespace vel
