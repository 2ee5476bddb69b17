#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace testing_support {

// Ends the whole test program with a message when the scope it guards has not finished within
// `limit`: a deadlock in the library must fail the run, never hang it. The limit is a safety net
// far above the normal run time, not a timing assertion.
class Watchdog {
public:
    Watchdog(std::string what, std::chrono::seconds limit)
        : m_what(std::move(what)), m_thread([this, limit] { watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void watch(std::chrono::seconds limit) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_changed.wait_for(lock, limit, [this] { return m_done; }))
            return;
        std::fprintf(stderr, "WATCHDOG: %s did not finish within %lld s; deadlock?\n",
                     m_what.c_str(), static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(86);
    }

    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    std::thread m_thread; // last: starts once the rest is ready
};

// Runs `call` on a thread of its own and waits for it under a watchdog: whether another thread
// can take the locks `call` needs right now.
template <class Call> void runOnOtherThread(const char* what, Call&& call) {
    Watchdog watchdog(what, std::chrono::seconds(60));
    std::thread other(std::forward<Call>(call));
    other.join();
}

} // namespace testing_support
