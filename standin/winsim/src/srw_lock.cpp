#include <atomic>
#include <cstdint>

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "winsim/windows.h"

// An SRW lock used exclusively: a futex mutex on the low 32 bits of the zero-initialised lock
// word (0 free, 1 held, 2 held with waiters).
namespace {

std::uint32_t* word(PSRWLOCK lock) {
    return reinterpret_cast<std::uint32_t*>(&lock->Ptr);
}

void futexWait(std::uint32_t* address, std::uint32_t expected) {
    syscall(SYS_futex, address, FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void futexWake(std::uint32_t* address) {
    syscall(SYS_futex, address, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

std::atomic<DWORD> g_nextThreadId{1000};

} // namespace

extern "C" {

void AcquireSRWLockExclusive(PSRWLOCK lock) {
    std::uint32_t* w = word(lock);
    std::uint32_t expected = 0;
    if (__atomic_compare_exchange_n(w, &expected, 1, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
        return;
    // Like Windows' own lock, spin a little (reading only) before sleeping in the kernel: the
    // holders here keep it for a few hundred instructions.
    for (int spin = 0; spin < 200; ++spin) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        if (__atomic_load_n(w, __ATOMIC_RELAXED) == 0) {
            expected = 0;
            if (__atomic_compare_exchange_n(w, &expected, 1, false, __ATOMIC_ACQUIRE,
                                            __ATOMIC_RELAXED))
                return;
        }
    }
    if (expected != 2)
        expected = __atomic_exchange_n(w, 2, __ATOMIC_ACQUIRE);
    while (expected != 0) {
        futexWait(w, 2);
        expected = __atomic_exchange_n(w, 2, __ATOMIC_ACQUIRE);
    }
}

void ReleaseSRWLockExclusive(PSRWLOCK lock) {
    std::uint32_t* w = word(lock);
    if (__atomic_exchange_n(w, 0, __ATOMIC_RELEASE) == 2)
        futexWake(w);
}

// Cheap after the first call on a thread, distinct per thread, never 0 or 0xFFFFFFFF.
DWORD GetCurrentThreadId(void) {
    // Initial-exec: this library is loaded with the program, so its thread-local block is at a
    // fixed offset, as cheap to reach as Windows' thread block.
    static thread_local DWORD id __attribute__((tls_model("initial-exec"))) =
        g_nextThreadId.fetch_add(1, std::memory_order_relaxed);
    return id;
}

} // extern "C"
