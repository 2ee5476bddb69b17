#include "vel/spin_lock.h"

#include <thread>

namespace vel {

void SpinLock::backoff(std::uint64_t& counter) noexcept {
    // Spin a growing number of pauses; past the cap, give the holder the core.
    if (counter < (1u << 14)) {
        for (std::uint64_t i = 0; i < counter; ++i)
            VEL_CPU_PAUSE();
        counter *= 2;
    } else {
        std::this_thread::yield();
    }
}

} // namespace vel
