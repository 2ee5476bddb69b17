#pragma once

#include "host/api.h"

namespace loc {

// Text ids to wide strings. Entries are set by the host (or a test) and live until replaced.
class HOST_API StringTable {
public:
    static StringTable* getInstance();

    // The text for `id`, or null; the pointer stays valid until that entry changes.
    const wchar_t* getStringPtrById(const char* id) const;

    void setString(const char* id, const wchar_t* text);
    void removeString(const char* id);
    void clear();

    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

private:
    StringTable();
    ~StringTable();
    struct Impl;
    Impl* m_impl;
};

} // namespace loc
