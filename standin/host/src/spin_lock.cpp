#include "vel/spin_lock.h"

#include <chrono>
#include <thread>

namespace vel {

namespace {

// The counter starts at 800 for each acquisition (SpinLock::lock): one spin of 800 pauses (some
// 10 to 20 microseconds), then a number of yields, then sleeps.
constexpr std::uint64_t kSpinLimit = 1600;
constexpr std::uint64_t kYieldLimit = kSpinLimit + 32;

} // namespace

void SpinLock::backoff(std::uint64_t& counter) noexcept {
    if (counter < kSpinLimit) {
        for (std::uint64_t i = 0; i < counter; ++i)
            VEL_CPU_PAUSE();
        counter *= 2;
        if (counter > kSpinLimit)
            counter = kSpinLimit;
    } else if (counter < kYieldLimit) {
        std::this_thread::yield();
        ++counter;
    } else {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

} // namespace vel
