#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "host/control.h"
#include "support/watchdog.h"

namespace testing_support {

// Fails allocation 1, 2, ... of `operation` in turn and runs `afterThrow` after each throw, which
// must have left the live heap blocks as they were. Returns the number of allocations failed, or
// -1 once a check has failed.
template <class Operation, class AfterThrow>
int failEachAllocationInTurn(const std::string& what, Operation operation, AfterThrow afterThrow) {
    // A lock left held would make the checks wait forever on this thread.
    Watchdog watchdog(what + " with failing allocations", std::chrono::seconds(300));
    for (std::uint64_t n = 1; n <= 5000; ++n) {
        std::int64_t liveBefore = host::memory::liveBlocks();
        host::memory::failNthAllocation(n);
        bool threw = false;
        try {
            operation();
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        bool fired = !host::memory::failureArmed();
        host::memory::failNthAllocation(0);
        if (!threw) {
            EXPECT_FALSE(fired) << what << ": allocation " << n << " failed without an exception";
            if (n > 1)
                std::printf("[ alloc    ] %s: %d allocation points failed in turn\n", what.c_str(),
                            static_cast<int>(n - 1));
            return static_cast<int>(n - 1);
        }
        EXPECT_EQ(host::memory::liveBlocks(), liveBefore)
            << what << ": blocks leaked when allocation " << n << " failed";
        afterThrow();
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << what << ": first failure at allocation " << n;
            return -1;
        }
    }
    ADD_FAILURE() << what << " never ran through";
    return -1;
}

} // namespace testing_support
