// Allocation failures of the host heap, thrown as std::bad_alloc by the host DLL, pass through
// input.dll into this program with the MSVC exception model: each throw is caught here by type,
// reads as the platform's bad_alloc, leaks nothing, and leaves every lock of the manager free for
// another thread. The platform C++ library's own exceptions are caught as this build's types.
// Built without GoogleTest (no C++ standard library for it in MSVC mode).

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <windows.h>

#include "host/control.h"
#include "input/input.h"
#include "support/every_lock.h"

// The platform C++ library's own throws (msvcp140.dll): its std::bad_alloc and std::length_error,
// made by its code, must be caught and read as this build's declarations of those types.
namespace std {
[[noreturn]] __declspec(dllimport) void __cdecl _Xbad_alloc();
[[noreturn]] __declspec(dllimport) void __cdecl _Xlength_error(const char* message);
} // namespace std

namespace {

int g_failures = 0;

void expect(bool ok, const char* what, std::uint64_t n) {
    if (!ok) {
        std::printf("FAILED: %s (allocation %llu)\n", what, static_cast<unsigned long long>(n));
        ++g_failures;
    }
}

// Takes every lock of the manager and of its pads on another thread; a lock left held by the
// failed call keeps that thread waiting, which the time limit turns into a failure.
DWORD WINAPI takeEveryLock(LPVOID parameter) {
    testing_support::takeEveryLock(*static_cast<input::InputManager*>(parameter));
    return 0;
}

bool locksFree(input::InputManager& manager) {
    HANDLE thread = CreateThread(nullptr, 0, takeEveryLock, &manager, 0, nullptr);
    if (!thread)
        return false;
    bool done = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0;
    if (done)
        CloseHandle(thread);
    return done; // a thread stuck on a lock is left behind: the program fails and exits
}

// Fails allocation 1, 2, ... of `operation` in turn until it runs through; returns how many
// allocations failed, -1 after a failed check.
template <class Operation>
int failEachAllocation(const char* what, input::InputManager* manager, Operation operation) {
    for (std::uint64_t n = 1; n <= 2000; ++n) {
        std::int64_t liveBefore = host::memory::liveBlocks();
        host::memory::failNthAllocation(n);
        bool threw = false;
        try {
            operation();
        } catch (const std::bad_alloc& e) {
            threw = true;
            expect(std::strcmp(e.what(), "bad allocation") == 0, "what() of the bad_alloc", n);
        }
        host::memory::failNthAllocation(0);
        if (!threw) {
            std::printf("%s: %d allocations failed in turn, each caught\n", what,
                        static_cast<int>(n - 1));
            return n > 1 ? static_cast<int>(n - 1) : (expect(false, what, n), -1);
        }
        expect(host::memory::liveBlocks() == liveBefore, "no block leaked", n);
        if (manager)
            expect(locksFree(*manager), "every lock free after the throw", n);
        if (g_failures)
            return -1;
    }
    expect(false, "the operation never ran through", 0);
    return -1;
}

} // namespace

void catchPlatformExceptions() {
    bool caught = false;
    try {
        std::_Xbad_alloc();
    } catch (const std::bad_alloc& e) {
        caught = std::strcmp(e.what(), "bad allocation") == 0;
    }
    expect(caught, "msvcp140's bad_alloc caught as std::bad_alloc", 0);
    caught = false;
    try {
        std::_Xlength_error("too long for the platform");
    } catch (const std::logic_error& e) {
        // Caught by base, copied through vcruntime140: the text is the thrower's.
        std::logic_error copy = e;
        caught = std::strcmp(copy.what(), "too long for the platform") == 0;
    }
    expect(caught, "msvcp140's length_error caught as std::logic_error", 0);
}

int main() {
    catchPlatformExceptions();

    // Beyond the default table: registering it grows the table, binding it the tables' index.
    constexpr int kNewAction = 400;

    failEachAllocation("construction", nullptr, [] { input::InputManager manager(true, true); });

    input::InputManager manager(true, true);
    manager.setFocus(true);
    manager.setGame(true);
    manager.update(1.0f / 60.0f);
    failEachAllocation("registerAction", &manager, [&] {
        manager.registerAction(kNewAction,
                               vel::InplaceString<32>("AN_ACTION_NAME_OF_MORE_THAN_32_CHARACTERS"),
                               input::CONTROL_PRESSED, input::CHANNEL_GAME);
    });
    // The step buffers grow to the new action count in the next frame.
    failEachAllocation("update", &manager, [&] { manager.update(1.0f / 60.0f); });
    failEachAllocation("bindKeyboard", &manager, [&] {
        for (unsigned short key = 0x41; key <= 0x5a; ++key)
            manager.bindKeyboard(kNewAction, key);
    });
    failEachAllocation("bindGamepad", &manager, [&] {
        // Enough bindings that the table outgrows its storage.
        for (int action = 0; action < 78; ++action) {
            for (unsigned short button = 0; button < 4; ++button)
                manager.bindGamepad(action, button);
        }
    });

    // The manager still works after all that: a key bound above reads through.
    bool keys[256] = {};
    keys[0x41] = true;
    manager.getInputX86()->updateKeyboardState(keys);
    manager.update(1.0f / 60.0f);
    expect(manager.readDigital(kNewAction), "the action reads after the failures", 0);

    std::printf(g_failures ? "throw-through: %d failed\n" : "throw-through: all passed\n",
                g_failures);
    return g_failures ? 1 : 0;
}
