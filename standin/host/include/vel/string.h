#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "host/api.h"
#include "vel/memory.h"

namespace vel {

// Deep-copying string over an inline buffer owned by the derived InplaceString types. Text that
// does not fit inline moves to the engine heap, so any length is held whole.
template <class C> class BasicString {
public:
    const C* c_str() const { return m_data; }
    std::uint32_t length() const { return m_length; }
    bool empty() const { return m_length == 0; }
    bool isInline() const { return m_data == m_inline; }

    BasicString& operator=(const BasicString& other) {
        assign(other.m_data, other.m_length);
        return *this;
    }
    BasicString& operator=(const C* text) {
        assign(text, text ? lengthOf(text) : 0);
        return *this;
    }

    void assign(const C* text, std::uint32_t count) {
        if (count <= m_capacity) {
            std::memmove(m_data, text, count * sizeof(C));
        } else {
            // Allocate before releasing so that a throw leaves the old text and that `text` may
            // point into our own buffer.
            C* block = static_cast<C*>(allocateMemory((count + 1) * sizeof(C), alignof(C)));
            std::memcpy(block, text, count * sizeof(C));
            releaseHeap();
            m_data = block;
            m_capacity = count;
        }
        m_length = count;
        m_data[count] = C(0);
    }

    void clear() {
        m_length = 0;
        m_data[0] = C(0);
    }

    // Strict weak order: code unit by code unit, so comparisons are case-sensitive.
    bool operator<(const BasicString& other) const {
        std::uint32_t n = m_length < other.m_length ? m_length : other.m_length;
        for (std::uint32_t i = 0; i < n; ++i) {
            if (m_data[i] != other.m_data[i])
                return m_data[i] < other.m_data[i];
        }
        return m_length < other.m_length;
    }
    bool operator==(const BasicString& other) const {
        return m_length == other.m_length &&
               std::memcmp(m_data, other.m_data, m_length * sizeof(C)) == 0;
    }
    bool operator!=(const BasicString& other) const { return !(*this == other); }
    bool operator==(const C* text) const {
        std::uint32_t n = lengthOf(text);
        return n == m_length && std::memcmp(m_data, text, n * sizeof(C)) == 0;
    }
    bool operator!=(const C* text) const { return !(*this == text); }

    // Through char_traits so that the compiler sees the length of a literal (its loop would hide
    // it, and GCC then warns about the heap branch of assign reading past the literal).
    static std::uint32_t lengthOf(const C* text) {
        return static_cast<std::uint32_t>(std::char_traits<C>::length(text));
    }

protected:
    BasicString(C* inlineBuffer, std::uint32_t inlineCapacity)
        : m_data(inlineBuffer), m_inline(inlineBuffer), m_length(0), m_capacity(inlineCapacity),
          m_inlineCapacity(inlineCapacity) {
        m_data[0] = C(0);
    }
    BasicString(const BasicString&) = delete;
    ~BasicString() { releaseHeap(); }

    // Takes the other's heap block when it has one; inline text is copied.
    void takeFrom(BasicString& other) {
        if (&other == this)
            return;
        if (other.isInline()) {
            assign(other.m_data, other.m_length);
            return;
        }
        releaseHeap();
        m_data = other.m_data;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_data = other.m_inline;
        other.m_capacity = other.m_inlineCapacity;
        other.clear();
    }

    // Makes room for `count` characters, keeping the current text.
    void reserve(std::uint32_t count) {
        if (count <= m_capacity)
            return;
        C* block = static_cast<C*>(allocateMemory((count + 1) * sizeof(C), alignof(C)));
        std::memcpy(block, m_data, (m_length + 1) * sizeof(C));
        releaseHeap();
        m_data = block;
        m_capacity = count;
    }
    C* buffer() { return m_data; }
    std::uint32_t capacity() const { return m_capacity; }
    void setLength(std::uint32_t count) {
        m_length = count;
        m_data[count] = C(0);
    }

private:
    void releaseHeap() {
        if (m_data != m_inline) {
            deleteMemory(m_data);
            m_data = m_inline;
            m_capacity = m_inlineCapacity;
        }
    }

    C* m_data;
    C* m_inline;
    std::uint32_t m_length;
    std::uint32_t m_capacity;
    std::uint32_t m_inlineCapacity;
};

class HOST_API String : public BasicString<char> {
public:
    using BasicString<char>::operator=;
    String& operator=(const String& other) {
        BasicString<char>::operator=(other);
        return *this;
    }
    // printf conventions ("%x" is lowercase hexadecimal without prefix).
    void format(const char* fmt, ...);
    void formatInternal(const char* fmt, va_list args);

protected:
    String(char* inlineBuffer, std::uint32_t inlineCapacity)
        : BasicString<char>(inlineBuffer, inlineCapacity) {}
    ~String() = default;
};

class HOST_API WString : public BasicString<wchar_t> {
public:
    using BasicString<wchar_t>::operator=;
    WString& operator=(const WString& other) {
        BasicString<wchar_t>::operator=(other);
        return *this;
    }
    // Narrow text is widened character by character (the library's texts are ASCII).
    WString& operator=(const char* text);
    void assignNarrow(const char* text, std::uint32_t count);
    void format(const wchar_t* fmt, ...);
    void formatInternal(const wchar_t* fmt, va_list args);

protected:
    WString(wchar_t* inlineBuffer, std::uint32_t inlineCapacity)
        : BasicString<wchar_t>(inlineBuffer, inlineCapacity) {}
    ~WString() = default;
};

namespace detail {
// Base-class storage so that the inline buffer exists before the string base uses it.
template <class C, std::uint32_t N> struct InlineBuffer { C inlineText[N + 1]; };
} // namespace detail

template <std::uint32_t N>
class InplaceString : private detail::InlineBuffer<char, N>, public String {
public:
    InplaceString() : String(this->inlineText, N) {}
    InplaceString(const char* text) : String(this->inlineText, N) { String::operator=(text); }
    InplaceString(const String& other) : String(this->inlineText, N) { String::operator=(other); }
    InplaceString(const InplaceString& other) : String(this->inlineText, N) {
        String::operator=(other);
    }
    InplaceString(InplaceString&& other) noexcept : String(this->inlineText, N) { takeFrom(other); }
    InplaceString& operator=(const InplaceString& other) {
        String::operator=(other);
        return *this;
    }
    InplaceString& operator=(InplaceString&& other) noexcept {
        takeFrom(other);
        return *this;
    }
    InplaceString& operator=(const String& other) {
        String::operator=(other);
        return *this;
    }
    InplaceString& operator=(const char* text) {
        String::operator=(text);
        return *this;
    }
};

template <std::uint32_t N>
class InplaceWString : private detail::InlineBuffer<wchar_t, N>, public WString {
public:
    InplaceWString() : WString(this->inlineText, N) {}
    InplaceWString(const wchar_t* text) : WString(this->inlineText, N) { WString::operator=(text); }
    InplaceWString(const char* text) : WString(this->inlineText, N) { WString::operator=(text); }
    InplaceWString(const WString& other) : WString(this->inlineText, N) {
        WString::operator=(other);
    }
    InplaceWString(const InplaceWString& other) : WString(this->inlineText, N) {
        WString::operator=(other);
    }
    InplaceWString(InplaceWString&& other) noexcept : WString(this->inlineText, N) {
        takeFrom(other);
    }
    InplaceWString& operator=(const InplaceWString& other) {
        WString::operator=(other);
        return *this;
    }
    InplaceWString& operator=(InplaceWString&& other) noexcept {
        takeFrom(other);
        return *this;
    }
    InplaceWString& operator=(const WString& other) {
        WString::operator=(other);
        return *this;
    }
    InplaceWString& operator=(const wchar_t* text) {
        WString::operator=(text);
        return *this;
    }
    InplaceWString& operator=(const char* text) {
        WString::operator=(text);
        return *this;
    }
};

} // namespace vel
