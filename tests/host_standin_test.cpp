// The engine stand-in where the library's tests alone would not show it wrong: the settings the
// library registers, and the byte layouts the library's DLL shares with the engine's. Strings,
// vectors, streams, the string table and event routing are exercised through the library's tests.

#include <cstddef>

#include "app/events.h"
#include "d/tweakable.h"
#include "support/fixture.h"
#include "vel/spin_lock.h"

using namespace testing_support;

namespace {

using HostRuntime = FreshMachine;

std::ptrdiff_t offsetIn(const void* object, const void* field) {
    return static_cast<const char*>(field) - static_cast<const char*>(object);
}

} // namespace

TEST_F(HostRuntime, LibrarySettingsAreRegisteredWithTheirDefaults) {
    struct Expected {
        const char* name;
        d::BaseTweakable::Type type;
        float value;
    };
    const Expected settings[] = {
        {"Rumble:Enable old system (PC)", d::BaseTweakable::TYPE_BOOL, 0.0f},
        {"Input:Manual Update", d::BaseTweakable::TYPE_BOOL, 1.0f},
        {"Input:Mouse X sensitivity", d::BaseTweakable::TYPE_FLOAT, 1.0f},
        {"Input:Mouse Y sensitivity", d::BaseTweakable::TYPE_FLOAT, 1.0f},
    };
    for (const Expected& e : settings) {
        SCOPED_TRACE(e.name);
        d::BaseTweakable* t = d::findTweakable(e.name);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->getType(), e.type);
        EXPECT_TRUE(t->isDefault()); // value == default
        using Bool = d::Tweakable<bool, 0>;
        using Float = d::Tweakable<float, 0>;
        float byDefault = e.type == d::BaseTweakable::TYPE_BOOL
                              ? static_cast<Bool*>(t)->getDefault()
                              : static_cast<Float*>(t)->getDefault();
        EXPECT_EQ(byDefault, e.value);
    }
    // Every test starts from the defaults.
    EXPECT_TRUE(d::setTweakable("Input:Mouse X sensitivity", 0.25f));
    EXPECT_FALSE(d::findTweakable("Input:Mouse X sensitivity")->isDefault());
    sim::reset();
    EXPECT_TRUE(d::findTweakable("Input:Mouse X sensitivity")->isDefault());
}

// The event records the library's DLL reads as the engine's builds them, byte for byte, and the
// one-byte spin locks inside the manager.
TEST_F(HostRuntime, RecordsKeepTheirBytePositions) {
    static_assert(sizeof(vel::SpinLock) == 1, "one byte");
    app::InputEvent input;
    const app::RawMouse& mouse = input.rawInput.data.mouse;
    EXPECT_EQ(offsetIn(&input, &input.rawInput.header.dwType), 4);
    EXPECT_EQ(offsetIn(&input, &mouse.usFlags), 4 + 24);
    EXPECT_EQ(offsetIn(&input, &mouse.usButtonFlags), 4 + 28);
    EXPECT_EQ(offsetIn(&input, &mouse.usButtonData), 4 + 30);
    EXPECT_EQ(offsetIn(&input, &mouse.lLastX), 4 + 36);
    EXPECT_EQ(offsetIn(&input, &mouse.lLastY), 4 + 40);
    app::RawKeyEvent key;
    EXPECT_EQ(offsetIn(&key, &key.keyCode), 4);
    EXPECT_EQ(offsetIn(&key, &key.character), 8);
    EXPECT_EQ(offsetIn(&key, &key.modifiers), 12);
    EXPECT_EQ(offsetIn(&key, &key.down), 16);
}
