#include "loc/string_table.h"

#include <map>
#include <mutex>
#include <string>

namespace loc {

struct StringTable::Impl {
    mutable std::mutex mutex;
    std::map<std::string, std::wstring> entries;
};

StringTable::StringTable() : m_impl(new Impl) {}
StringTable::~StringTable() {
    delete m_impl;
}

StringTable* StringTable::getInstance() {
    static StringTable table;
    return &table;
}

const wchar_t* StringTable::getStringPtrById(const char* id) const {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    auto it = m_impl->entries.find(id);
    return it == m_impl->entries.end() ? nullptr : it->second.c_str();
}

void StringTable::setString(const char* id, const wchar_t* text) {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    m_impl->entries[id] = text;
}

void StringTable::removeString(const char* id) {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    m_impl->entries.erase(id);
}

void StringTable::clear() {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    m_impl->entries.clear();
}

} // namespace loc
