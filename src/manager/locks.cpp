#include "manager/locks.h"

#include "manager/heap_object.h"

namespace input {

RecursiveLock* RecursiveLock::create() {
    return newObject<RecursiveLock>();
}

void RecursiveLock::destroy(RecursiveLock* lock) {
    deleteObject(lock);
}

void RecursiveLock::lock() {
    std::uint32_t id = platform::currentThreadId();
    if (ownerThreadId.load() != id) {
        platform::acquireSrwLockExclusive(srwLock);
        ownerThreadId.store(id);
    }
    ++depth;
}

void RecursiveLock::unlock() {
    if (--depth == 0) {
        ownerThreadId.store(kNoOwner);
        platform::releaseSrwLockExclusive(srwLock);
    }
}

} // namespace input
