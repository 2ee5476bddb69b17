#pragma once

#include <cstdint>

#include "vel/string.h"

namespace input {

// The manager's own storage for its binding and name tables. They sit in InputManager's layout,
// so they hold nothing but pointers and 32-bit counts over the engine heap: a game built with
// another compiler or C++ library agrees with the DLL on their size. Their operations are
// defined inside the library and are not part of its interface.

// One table of bindings (action id to code), ordered by action id, then binding order. Ids from
// 0 to indexedIds - 1 find their bindings through a direct index; other ids by binary search.
class BindingTable {
public:
    struct Entry {
        std::int32_t action;
        std::uint16_t code;
    };
    struct Span {
        const Entry* first;
        const Entry* last;
    };

    BindingTable() = default;
    ~BindingTable();
    BindingTable(const BindingTable&) = delete;
    BindingTable& operator=(const BindingTable&) = delete;

    // After the action's existing bindings. Throws on a failed allocation and then changes
    // nothing.
    void add(int action, unsigned short code);
    // The action's binding at `index` (binding order) takes `code`, or is removed; false and no
    // change when the action has no binding there. Neither allocates.
    bool replace(int action, std::uint32_t index, unsigned short code);
    bool remove(int action, std::uint32_t index);
    // Every binding goes; the storage stays.
    void clear();
    // Exchanges the contents; never throws.
    void swap(BindingTable& other) noexcept;

    // The action's bindings in binding order.
    Span find(int action) const {
        std::uint32_t id = static_cast<std::uint32_t>(action);
        if (id < m_indexedIds)
            return {m_entries + m_index[id], m_entries + m_index[id + 1]};
        return search(action);
    }
    const Entry* begin() const { return m_entries; }
    const Entry* end() const { return m_entries + m_count; }
    std::uint32_t size() const { return m_count; }

private:
    Span search(int action) const;
    std::uint32_t upperBound(int action) const;

    Entry* m_entries = nullptr;
    std::uint32_t m_count = 0;
    std::uint32_t m_capacity = 0;
    // m_index[id] is the position of the first entry whose action is id or more, for ids
    // 0 to m_indexedIds (one past the last indexed id).
    std::uint32_t* m_index = nullptr;
    std::uint32_t m_indexedIds = 0;
    std::uint32_t m_indexCapacity = 0;
};

// Action names to ids, ordered by name (the string's own order, so lookups are case-sensitive).
class ActionNameTable {
public:
    struct Entry {
        vel::InplaceWString<32> name;
        std::int32_t id;
    };

    ActionNameTable() = default;
    ~ActionNameTable();
    ActionNameTable(const ActionNameTable&) = delete;
    ActionNameTable& operator=(const ActionNameTable&) = delete;

    // Points `name` at `id`, replacing what it pointed at. Throws on a failed allocation and
    // then changes nothing.
    void set(vel::InplaceWString<32>&& name, int id);
    // The id of `name`, or -1.
    int find(const vel::WString& name) const;
    void clear();
    std::uint32_t size() const { return m_count; }

private:
    std::uint32_t lowerBound(const vel::WString& name) const;

    Entry* m_entries = nullptr;
    std::uint32_t m_count = 0;
    std::uint32_t m_capacity = 0;
};

} // namespace input
