// The engine's runtime, tweakable, event and string-table modules as the library relies on them.

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

#include "app/events.h"
#include "d/tweakable.h"
#include "loc/string_table.h"
#include "support/fixture.h"
#include "vel/file_stream.h"
#include "vel/spin_lock.h"
#include "vel/string.h"
#include "vel/vector.h"

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

TEST_F(HostRuntime, StringsHoldLongTextWholeAndOrderByCodeUnit) {
    const std::string longName(70, 'Q');
    vel::InplaceString<32> narrow(longName.c_str());
    EXPECT_EQ(narrow.length(), 70u);
    EXPECT_EQ(std::string(narrow.c_str()), longName);
    vel::InplaceString<32> copy(narrow);
    narrow = "short";
    EXPECT_EQ(std::string(copy.c_str()), longName);

    vel::InplaceWString<32> wide;
    wide = "FREECAMERA_SCALE_TRANSLATION_DOWN"; // 33 characters, widened
    EXPECT_TRUE(wide == L"FREECAMERA_SCALE_TRANSLATION_DOWN");

    auto less = [](const wchar_t* a, const wchar_t* b) {
        return vel::InplaceWString<32>(a) < vel::InplaceWString<32>(b);
    };
    EXPECT_TRUE(less(L"MENU_A", L"MENU_A_DOWN"));
    EXPECT_FALSE(less(L"MENU_A_DOWN", L"MENU_A"));
    EXPECT_FALSE(less(L"MENU_A", L"MENU_A"));
    EXPECT_TRUE(less(L"Z", L"a")); // by code unit
}

TEST_F(HostRuntime, FormatFollowsPrintf) {
    vel::InplaceString<32> narrow;
    narrow.format("%s=%d %x", "code", -3, 0x1Fu);
    EXPECT_STREQ(narrow.c_str(), "code=-3 1f");
    narrow.format("%0100d", 7); // beyond the inline buffer
    EXPECT_EQ(narrow.length(), 100u);
    EXPECT_EQ(narrow.c_str()[99], '7');

    vel::InplaceWString<128> wide;
    wide.format(L"0x%x", 0xA4u);
    EXPECT_TRUE(wide == L"0xa4");
    wide.format(L"%0300d", 5);
    EXPECT_EQ(wide.length(), 300u);
}

TEST_F(HostRuntime, VectorReservesExactlyAndCopyAssignmentReusesStorage) {
    vel::Vector<float> v;
    v.resize(3, 2.5f);
    v.reserve(13);
    v.reserve(5);
    EXPECT_EQ(v.capacity(), 13u);
    EXPECT_EQ(v[2], 2.5f);

    vel::Vector<float> source;
    source.resize(4, 1.5f);
    const float* storage = v.data();
    std::uint64_t before = host::memory::allocationCount();
    v = source;
    EXPECT_EQ(host::memory::allocationCount(), before);
    EXPECT_EQ(v.data(), storage);
    EXPECT_EQ(v.size(), 4u);
    EXPECT_EQ(v.capacity(), 13u);
    EXPECT_EQ(v[3], 1.5f);

    source.resize(20, 4.0f);
    v = source;
    EXPECT_EQ(v.capacity(), 20u);
    EXPECT_EQ(v[19], 4.0f);
}

TEST_F(HostRuntime, SpinLockIsOneByteAndExcludes) {
    static_assert(sizeof(vel::SpinLock) == 1, "one byte");
    vel::SpinLock lock;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            lock.lock();
            ++counter;
            lock.unlock();
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(counter, 40000);
    EXPECT_FALSE(lock.isLocked());
}

TEST_F(HostRuntime, FileStreamOverMemoryAndFile) {
    const unsigned char bytes[5] = {1, 2, 3, 4, 5};
    vel::FileStream memory;
    EXPECT_EQ(memory.getMode(), vel::FileStream::MODE_CLOSED);
    memory.openMemory(vel::FileStream::MODE_READ, bytes, sizeof bytes);
    unsigned char out[8] = {};
    EXPECT_EQ(memory.read(out, 3), 3u);
    EXPECT_EQ(memory.write(bytes, 1), 0u); // a reading stream is not written
    EXPECT_EQ(memory.read(out + 3, 8), 2u);
    EXPECT_EQ(std::memcmp(out, bytes, 5), 0);

    const std::string path = ::testing::TempDir() + "host_runtime_stream.bin";
    vel::FileStream file;
    ASSERT_TRUE(file.openFile(path.c_str(), vel::FileStream::MODE_WRITE));
    EXPECT_EQ(file.getMode(), 2);
    EXPECT_EQ(file.write(bytes, 5), 5u);
    file.close();
    ASSERT_TRUE(file.openFile(path.c_str(), vel::FileStream::MODE_READ));
    EXPECT_EQ(file.getMode(), 1);
    unsigned char back[8] = {};
    EXPECT_EQ(file.read(back, 8), 5u);
    EXPECT_EQ(std::memcmp(back, bytes, 5), 0);
    file.close();
    std::remove(path.c_str());
}

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
    EXPECT_TRUE(d::setTweakable("Input:Mouse X sensitivity", 0.25f));
    EXPECT_FALSE(d::findTweakable("Input:Mouse X sensitivity")->isDefault());
    EXPECT_FALSE(d::setTweakable("Input:Mouse X sensitivity", true)); // wrong type
    EXPECT_FALSE(d::setTweakable("Input:No such setting", true));
    sim::reset();
    EXPECT_TRUE(d::findTweakable("Input:Mouse X sensitivity")->isDefault());

    {
        d::Tweakable<float, 0> local("Test:Scoped", 2.0f);
        EXPECT_EQ(d::findTweakable("Test:Scoped"), &local);
        local.set(std::numeric_limits<float>::quiet_NaN());
        EXPECT_FALSE(local.isDefault());
    }
    EXPECT_EQ(d::findTweakable("Test:Scoped"), nullptr);
}

namespace {

// Answers true from every overload and remembers which one ran.
struct RoutingRecorder : app::EventHandler {
    int routedTo = -1;
#define RECORD_ROUTE(Name, NAME)                                                                   \
    bool handleAppEvent(app::Name##Event*) override {                                              \
        routedTo = app::EVENT_##NAME;                                                              \
        return true;                                                                               \
    }
    APP_EVENT_TYPES(RECORD_ROUTE)
#undef RECORD_ROUTE
};

} // namespace

TEST_F(HostRuntime, DispatchRoutesEveryEventToItsOverload) {
    RoutingRecorder recorder;
    app::EventHandler plain;
#define CHECK_ROUTE(Name, NAME)                                                                    \
    {                                                                                              \
        app::Name##Event event;                                                                    \
        recorder.routedTo = -1;                                                                    \
        EXPECT_TRUE(recorder.dispatchAppEvent(&event)) << #Name;                                   \
        EXPECT_EQ(recorder.routedTo, app::EVENT_##NAME) << #Name;                                  \
        EXPECT_FALSE(plain.dispatchAppEvent(&event)) << #Name;                                     \
    }
    APP_EVENT_TYPES(CHECK_ROUTE)
#undef CHECK_ROUTE
    app::Event unknown{app::EVENT_TYPE_COUNT};
    EXPECT_FALSE(recorder.dispatchAppEvent(&unknown));
    EXPECT_FALSE(recorder.dispatchAppEvent(nullptr));
}

TEST_F(HostRuntime, EventRecordsKeepTheirBytePositions) {
    app::InputEvent layout;
    EXPECT_EQ(offsetIn(&layout, &layout.rawInput), 4);
    EXPECT_EQ(offsetIn(&layout, &layout.rawInput.data.mouse.usFlags), 4 + 24);

    // The devices read the records at those positions (the raw key event's at 4, 8, 12, 16).
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

TEST_F(HostRuntime, StringTableAnswersByIdUntilReset) {
    loc::StringTable* table = loc::StringTable::getInstance();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->getStringPtrById("KEYCODE_0x41"), nullptr);
    table->setString("KEYCODE_0x41", L"Letter A");
    ASSERT_NE(table->getStringPtrById("KEYCODE_0x41"), nullptr);
    EXPECT_EQ(std::wstring(table->getStringPtrById("KEYCODE_0x41")), L"Letter A");
    sim::reset();
    EXPECT_EQ(table->getStringPtrById("KEYCODE_0x41"), nullptr);
}
