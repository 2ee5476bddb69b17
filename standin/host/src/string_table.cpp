#include "loc/string_table.h"

#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

namespace loc {

namespace {

// Id and text with their terminators. A text's block moves with its entry, so a pointer handed
// out stays valid until that entry changes.
struct Entry {
    std::vector<char> id;
    std::vector<wchar_t> text;
};

} // namespace

// A handful of entries, found by a linear search; the table needs no ordered container.
struct StringTable::Impl {
    mutable std::mutex mutex;
    std::vector<Entry> entries;

    Entry* find(const char* id) {
        for (Entry& e : entries) {
            if (std::strcmp(e.id.data(), id) == 0)
                return &e;
        }
        return nullptr;
    }
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
    const Entry* e = m_impl->find(id);
    return e ? e->text.data() : nullptr;
}

void StringTable::setString(const char* id, const wchar_t* text) {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    Entry* e = m_impl->find(id);
    if (!e) {
        Entry added;
        added.id.assign(id, id + std::strlen(id) + 1);
        m_impl->entries.push_back(std::move(added));
        e = &m_impl->entries.back();
    }
    e->text.assign(text, text + std::wcslen(text) + 1);
}

void StringTable::removeString(const char* id) {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    Entry* e = m_impl->find(id);
    if (!e)
        return;
    std::swap(*e, m_impl->entries.back());
    m_impl->entries.pop_back();
}

void StringTable::clear() {
    std::lock_guard<std::mutex> guard(m_impl->mutex);
    m_impl->entries.clear();
}

} // namespace loc
