#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "loc/string_table.h"
#include "support/actions.h"

using namespace testing_support;
using namespace input;

namespace {

std::string nameOf(InputManager& manager, int code) {
    vel::InplaceWString<128> name;
    manager.getKeycodeName(code, name);
    return narrow(name);
}

// The name Windows gives a virtual key, looked up the way the library must look it up.
std::string windowsName(int code) {
    const int extended[] = {33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 91, 92, 93, 111, 144, 164, 165};
    unsigned scan = sim::mapVirtualKey(static_cast<unsigned>(code));
    for (int e : extended) {
        if (e == code)
            scan |= 0x100;
    }
    std::string text = sim::keyNameText(static_cast<std::int32_t>(scan << 16));
    if (!text.empty())
        return text;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", code);
    return hex;
}

} // namespace

class KeyNames : public ActionTest {};

TEST_F(KeyNames, TableThenWindowsThenHexadecimal) {
    loc::StringTable* table = loc::StringTable::getInstance();
    table->setString("KEYCODE_0x0", L"zero");
    for (int code : {0, -1, -27, INT_MIN})
        EXPECT_EQ(nameOf(*manager, code), "---") << code;

    // On every platform: the platform's own names, which it does give for common keys.
    for (int code : {int('A'), int('Z'), int('7'), 0x20, 0x1B, 0x0D, 0x70})
        EXPECT_FALSE(
            sim::keyNameText(static_cast<std::int32_t>(sim::mapVirtualKey(code) << 16)).empty())
            << code;
    for (int code = 1; code <= 300; ++code)
        EXPECT_EQ(nameOf(*manager, code), windowsName(code)) << code;

    table->setString("KEYCODE_0x41", L"Ay");
    table->setString("KEYCODE_0x1b", L"Esc key");
    table->setString("KEYCODE_0x100", L"Wheel up");
    table->setString("KEYCODE_0x1C", L"upper case"); // ids are lower-case hexadecimal
    table->setString("KEYCODE_0x09", L"padded");     // without leading zeros
    EXPECT_EQ(nameOf(*manager, 0x41), "Ay");
    EXPECT_EQ(nameOf(*manager, 27), "Esc key");
    EXPECT_EQ(nameOf(*manager, 256), "Wheel up");
    EXPECT_EQ(nameOf(*manager, 0x1c), windowsName(0x1c));
    EXPECT_EQ(nameOf(*manager, 9), windowsName(9));
    vel::InplaceWString<128> name;
    EXPECT_TRUE(manager->getKeyName(ACTION_ABORT_VIDEO, name)); // Space, then Escape
    EXPECT_EQ(narrow(name), windowsName(32));
    EXPECT_TRUE(manager->getKeyName(ACTION_MENU_B, name));
    EXPECT_EQ(narrow(name), "Esc key");
    EXPECT_FALSE(manager->getKeyName(ACTION_LOADING_CONTINUE, name)); // pad bindings only
    EXPECT_TRUE(name.empty());
    manager->bindKeyboard(ACTION_MOVE_UP, 0xFFFF);
    int code = 0;
    EXPECT_TRUE(manager->getKeyCode(ACTION_MOVE_UP, code));
    EXPECT_EQ(code, 65535); // zero-extended
}

// The simulated US layout, where the names are known.
class SimKeyNames : public ActionTest {};

TEST_F(SimKeyNames, UsLayout) {
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {65, "A"},           {13, "Enter"},  {27, "Esc"},       {37, "Left"},
        {33, "Page Up"},     {45, "Insert"}, {46, "Delete"},    {91, "Left Windows"},
        {93, "Application"}, {111, "Num /"}, {144, "Num Lock"}, {165, "Right Alt"},
        {164, "Right Alt"},  {163, "Ctrl"},  {17, "Ctrl"},      {1, "0x1"},
        {256, "0x100"},      {257, "0x101"}, {187, "="},        {255, "0xff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameOf(*manager, c.code), c.name) << c.code;
    sim::setKeyName(0x1E, ""); // no name for A
    EXPECT_EQ(nameOf(*manager, 65), "0x41");
}

// An empty layout names no key; a name for a scan code shows only once a key maps to it, and then
// on that key alone.
TEST_F(SimKeyNames, EmptyLayoutThenOneKey) {
    sim::reset(sim::Layout::Empty);
    auto named = [&] { // the keys whose name is not their code in hexadecimal
        std::vector<int> codes;
        for (int code = 1; code < 256; ++code) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%x", code);
            if (nameOf(*manager, code) != hex)
                codes.push_back(code);
        }
        return codes;
    };
    EXPECT_EQ(named(), std::vector<int>{});
    sim::setKeyName(0x10, "Queue");
    EXPECT_EQ(named(), std::vector<int>{});
    sim::setScanCode('Q', 0x10);
    EXPECT_EQ(named(), std::vector<int>{'Q'});
    EXPECT_EQ(nameOf(*manager, 'Q'), "Queue");
}
