#include "input/binding_table.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "vel/memory.h"

namespace input {

namespace {

// Ids below this find their bindings through the direct index; the index costs 4 bytes per id,
// so an id far beyond any table (any id may be bound) goes to the binary search instead.
constexpr std::uint32_t kMaxIndexedIds = 1u << 16;
constexpr std::uint32_t kMaxEntries = 1u << 28;

std::uint32_t grownCapacity(std::uint32_t capacity, std::uint32_t needed) {
    std::uint32_t grown = capacity < 8 ? 16 : capacity * 2;
    return grown < needed ? needed : grown;
}

template <class T> T* allocateArray(std::uint32_t count) {
    return static_cast<T*>(vel::allocateMemory(sizeof(T) * count, alignof(T) < 8 ? 8 : alignof(T)));
}

} // namespace

// --- BindingTable ---------------------------------------------------------------------------

BindingTable::~BindingTable() {
    vel::deleteMemory(m_entries);
    vel::deleteMemory(m_index);
}

std::uint32_t BindingTable::upperBound(int action) const {
    std::uint32_t id = static_cast<std::uint32_t>(action);
    if (id < m_indexedIds)
        return m_index[id + 1];
    std::uint32_t low = 0, high = m_count;
    while (low < high) {
        std::uint32_t mid = low + (high - low) / 2;
        if (m_entries[mid].action <= action)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

BindingTable::Span BindingTable::search(int action) const {
    std::uint32_t low = 0, high = m_count;
    while (low < high) {
        std::uint32_t mid = low + (high - low) / 2;
        if (m_entries[mid].action < action)
            low = mid + 1;
        else
            high = mid;
    }
    std::uint32_t last = low;
    while (last < m_count && m_entries[last].action == action)
        ++last;
    return {m_entries + low, m_entries + last};
}

void BindingTable::add(int action, unsigned short code) {
    if (m_count >= kMaxEntries)
        throw std::length_error("binding table full");
    std::uint32_t position = upperBound(action);
    std::uint32_t id = static_cast<std::uint32_t>(action);
    std::uint32_t indexedIds = m_indexedIds;
    if (id < kMaxIndexedIds && id >= m_indexedIds)
        indexedIds = id + 1;

    // Everything that can throw comes first: a failed allocation leaves the table as it was.
    Entry* entries = m_entries;
    std::uint32_t capacity = m_capacity;
    if (m_count == m_capacity) {
        capacity = grownCapacity(m_capacity, m_count + 1);
        entries = allocateArray<Entry>(capacity);
    }
    std::uint32_t* index = m_index;
    std::uint32_t indexCapacity = m_indexCapacity;
    if (indexedIds > 0 && indexedIds + 1 > m_indexCapacity) {
        indexCapacity = grownCapacity(m_indexCapacity, indexedIds + 1);
        try {
            index = allocateArray<std::uint32_t>(indexCapacity);
        } catch (...) {
            if (entries != m_entries)
                vel::deleteMemory(entries);
            throw;
        }
    }

    // The new ids of the index start where the old index ended: no entry lies between the last
    // indexed id and an id below the index limit, or that id would have been indexed.
    if (indexedIds > m_indexedIds) {
        std::uint32_t start;
        if (m_indexedIds > 0) {
            start = m_index[m_indexedIds];
        } else {
            start = 0;
            while (start < m_count && m_entries[start].action < 0)
                ++start;
        }
        if (index != m_index) {
            for (std::uint32_t i = 0; i < m_indexedIds; ++i)
                index[i] = m_index[i];
        }
        for (std::uint32_t i = m_indexedIds; i <= indexedIds; ++i)
            index[i] = start;
    } else if (index != m_index) {
        for (std::uint32_t i = 0; i <= m_indexedIds; ++i)
            index[i] = m_index[i];
    }

    // Insert after the action's last binding.
    if (entries != m_entries) {
        for (std::uint32_t i = 0; i < position; ++i)
            entries[i] = m_entries[i];
        for (std::uint32_t i = position; i < m_count; ++i)
            entries[i + 1] = m_entries[i];
    } else {
        for (std::uint32_t i = m_count; i > position; --i)
            entries[i] = entries[i - 1];
    }
    entries[position] = Entry{static_cast<std::int32_t>(action), code};

    // Every indexed id above the action starts one entry later.
    std::uint32_t firstShifted = action < 0 ? 0 : id + 1;
    for (std::uint32_t i = firstShifted; i <= indexedIds && indexedIds > 0; ++i)
        ++index[i];

    if (entries != m_entries) {
        vel::deleteMemory(m_entries);
        m_entries = entries;
        m_capacity = capacity;
    }
    if (index != m_index) {
        vel::deleteMemory(m_index);
        m_index = index;
        m_indexCapacity = indexCapacity;
    }
    m_indexedIds = indexedIds;
    ++m_count;
}

void BindingTable::clear() {
    m_count = 0;
    m_indexedIds = 0;
}

bool BindingTable::replace(int action, std::uint32_t index, unsigned short code) {
    Span span = find(action);
    if (index >= static_cast<std::uint32_t>(span.last - span.first))
        return false;
    m_entries[span.first - m_entries + index].code = code;
    return true;
}

bool BindingTable::remove(int action, std::uint32_t index) {
    Span span = find(action);
    if (index >= static_cast<std::uint32_t>(span.last - span.first))
        return false;
    std::uint32_t position = static_cast<std::uint32_t>(span.first - m_entries) + index;
    for (std::uint32_t i = position + 1; i < m_count; ++i)
        m_entries[i - 1] = m_entries[i];
    --m_count;
    // Indexed ids whose bindings start after the removed entry start one earlier; those at or
    // below the action start at or before it.
    for (std::uint32_t i = 0; i <= m_indexedIds && m_indexedIds > 0; ++i) {
        if (m_index[i] > position)
            --m_index[i];
    }
    return true;
}

void BindingTable::swap(BindingTable& other) noexcept {
    std::swap(m_entries, other.m_entries);
    std::swap(m_count, other.m_count);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_index, other.m_index);
    std::swap(m_indexedIds, other.m_indexedIds);
    std::swap(m_indexCapacity, other.m_indexCapacity);
}

// --- ActionNameTable ------------------------------------------------------------------------

ActionNameTable::~ActionNameTable() {
    clear();
    vel::deleteMemory(m_entries);
}

std::uint32_t ActionNameTable::lowerBound(const vel::WString& name) const {
    std::uint32_t low = 0, high = m_count;
    while (low < high) {
        std::uint32_t mid = low + (high - low) / 2;
        if (m_entries[mid].name < name)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

int ActionNameTable::find(const vel::WString& name) const {
    std::uint32_t at = lowerBound(name);
    return at < m_count && m_entries[at].name == name ? m_entries[at].id : -1;
}

void ActionNameTable::set(vel::InplaceWString<32>&& name, int id) {
    std::uint32_t position = lowerBound(name);
    if (position < m_count && m_entries[position].name == name) {
        m_entries[position].id = id;
        return;
    }
    if (m_count >= kMaxEntries)
        throw std::length_error("action name table full");
    // Only the allocation can throw; the strings move without throwing.
    if (m_count == m_capacity) {
        std::uint32_t capacity = grownCapacity(m_capacity, m_count + 1);
        Entry* entries = allocateArray<Entry>(capacity);
        for (std::uint32_t i = 0; i < m_count; ++i) {
            new (entries + (i < position ? i : i + 1))
                Entry{std::move(m_entries[i].name), m_entries[i].id};
            m_entries[i].~Entry();
        }
        new (entries + position) Entry{std::move(name), id};
        vel::deleteMemory(m_entries);
        m_entries = entries;
        m_capacity = capacity;
        ++m_count;
        return;
    }
    if (position == m_count) {
        new (m_entries + m_count) Entry{std::move(name), id};
    } else {
        new (m_entries + m_count)
            Entry{std::move(m_entries[m_count - 1].name), m_entries[m_count - 1].id};
        for (std::uint32_t i = m_count - 1; i > position; --i) {
            m_entries[i].name = std::move(m_entries[i - 1].name);
            m_entries[i].id = m_entries[i - 1].id;
        }
        m_entries[position].name = std::move(name);
        m_entries[position].id = id;
    }
    ++m_count;
}

void ActionNameTable::clear() {
    while (m_count > 0)
        m_entries[--m_count].~Entry();
}

} // namespace input
