// The engine stand-in where the library's tests alone would not show it wrong: the settings the
// library registers, and the byte layouts the library's DLL shares with the engine's. Strings,
// vectors, streams, the string table and event routing are exercised through the library's tests.

#include <cstddef>
#include <cstring>

#include "d/tweakable.h"
#include "support/fixture.h"
#include "vel/spin_lock.h"

using namespace testing_support;

namespace {

using HostRuntime = FreshMachine;

std::ptrdiff_t offsetIn(const void* object, const void* field) {
    return static_cast<const char*>(field) - static_cast<const char*>(object);
}

template <class T> void putAt(void* object, std::size_t offset, T value) {
    std::memcpy(static_cast<char*>(object) + offset, &value, sizeof value);
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

// What the library's DLL shares with the engine's: event records at fixed byte positions (a raw
// key event's at 4, 8, 12, 16) and one-byte spin locks inside the manager.
TEST_F(HostRuntime, RecordsKeepTheirBytePositions) {
    static_assert(sizeof(vel::SpinLock) == 1, "one byte");
    app::InputEvent layout;
    EXPECT_EQ(offsetIn(&layout, &layout.rawInput), 4);
    EXPECT_EQ(offsetIn(&layout, &layout.rawInput.data.mouse.usFlags), 4 + 24);

    input::InputX86 pc;
    app::InputEvent move;
    putAt<std::uint32_t>(&move, 4, 1);           // a keyboard record
    putAt<std::uint16_t>(&move, 4 + 28, 0x400);  // RI_MOUSE_WHEEL
    putAt<std::uint16_t>(&move, 4 + 30, 0xFF88); // -120
    putAt<std::int32_t>(&move, 4 + 36, 12);
    putAt<std::int32_t>(&move, 4 + 40, -7);
    EXPECT_TRUE(pc.dispatchAppEvent(&move));
    putAt<std::uint32_t>(&move, 4, 0); // RIM_TYPEMOUSE
    EXPECT_TRUE(pc.dispatchAppEvent(&move));
    pc.update();
    EXPECT_EQ(pc.getRawMouseDeltaX(), 12);
    EXPECT_EQ(pc.getRawMouseDeltaY(), -7);
    EXPECT_EQ(pc.getMouseWheel(), -1);

    input::Keyboard keyboard;
    app::RawKeyEvent typed;
    putAt<std::int32_t>(&typed, 4, 'Q');
    putAt<char>(&typed, 8, 'q');
    putAt<std::int32_t>(&typed, 12, 0x4); // Alt
    putAt<bool>(&typed, 16, true);
    EXPECT_FALSE(keyboard.dispatchAppEvent(&typed));
    keyboard.update();
    int code = 0, modifiers = 0;
    char character = 0;
    ASSERT_TRUE(keyboard.readKeyboardBuffer(code, character, modifiers));
    EXPECT_EQ(code, 'Q');
    EXPECT_EQ(character, 'q');
    EXPECT_EQ(modifiers, 0x4);
}
