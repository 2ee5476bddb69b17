// The action registry and the default vocabulary a new manager holds.

#include <map>
#include <string>

#include "support/fixture.h"

using namespace testing_support;

namespace {

std::string nameOf(input::InputManager& m, int id) {
    return m.getActionName(id).c_str();
}

// The default vocabulary: id, name, control type, channel bits.
struct Row {
    int id;
    const char* name;
    int type;
    std::uint32_t channels;
};
const Row kVocabulary[] = {
    {0, "MOVE_UP", 6, 0x2},
    {1, "MOVE_DOWN", 6, 0x2},
    {2, "MOVE_LEFT", 6, 0x2},
    {3, "MOVE_RIGHT", 6, 0x2},
    {4, "MOVEMENT_X", 1, 0x2},
    {5, "MOVEMENT_Y", 1, 0x2},
    {6, "CAMERA_X", 1, 0x3},
    {7, "CAMERA_Y", 2, 0x3},
    {8, "ABORT_VIDEO", 6, 0x161},
    {9, "ABORT_VIDEO_CONFIRM", 6, 0x161},
    {10, "ABORT_TIMELINE", 6, 0x141},
    {11, "ABORT_TIMELINE_CONFIRM", 6, 0x141},
    {12, "SCROLL_TIMELINES_UP", 11, 0x341},
    {13, "SCROLL_TIMELINES_DOWN", 11, 0x341},
    {14, "LOADING_CONTINUE", 6, 0xFFFFFFFF},
    {15, "TOGGLE_MENU", 6, 0x111},
    {16, "TOGGLE_GAMEPLAY_MENU", 6, 0x101},
    {17, "TOGGLE_GAMEPLAY_MENU_DOWN", 5, 0x101},
    {18, "MENU_A", 6, 0x20},
    {19, "MENU_A_DOWN", 5, 0x20},
    {20, "MENU_B", 6, 0x20},
    {21, "MENU_B_DOWN", 5, 0x20},
    {22, "MENU_X", 6, 0x20},
    {23, "MENU_X_DOWN", 5, 0x20},
    {24, "MENU_Y", 6, 0x20},
    {25, "MENU_Y_DOWN", 5, 0x20},
    {26, "MENU_START", 6, 0x20},
    {27, "MENU_BACK", 6, 0x20},
    {28, "MENU_LEFTTHUMB", 6, 0x20},
    {29, "MENU_RIGHTTHUMB", 6, 0x20},
    {30, "MENU_LEFTSHOULDER", 6, 0x20},
    {31, "MENU_RIGHTSHOULDER", 6, 0x20},
    {32, "MENU_PADUP", 5, 0x20},
    {33, "MENU_PADDOWN", 5, 0x20},
    {34, "MENU_PADLEFT", 5, 0x20},
    {35, "MENU_PADRIGHT", 5, 0x20},
    {36, "MENU_LEFTTHUMBX", 1, 0x20},
    {37, "MENU_LEFTTHUMBY", 1, 0x20},
    {38, "MENU_RIGHTTHUMBX", 1, 0x20},
    {39, "MENU_RIGHTTHUMBY", 1, 0x20},
    {40, "MENU_LEFTTRIGGER", 6, 0x20},
    {41, "MENU_RIGHTTRIGGER", 6, 0x20},
    {42, "PRESENTATION_LEFT", 6, 0x22},
    {43, "PRESENTATION_RIGHT", 6, 0x22},
    {44, "FREECAMERA_FORWARD1", 12, 0x299},
    {45, "FREECAMERA_FORWARD2", 6, 0x200},
    {46, "FREECAMERA_BACKWARD1", 12, 0x299},
    {47, "FREECAMERA_BACKWARD2", 6, 0x200},
    {48, "FREECAMERA_X", 1, 0x98},
    {49, "FREECAMERA_Z", 1, 0x98},
    {50, "FREECAMERA_HEADING", 1, 0x98},
    {51, "FREECAMERA_PITCH", 2, 0x98},
    {52, "FREECAMERA_UP", 5, 0x8},
    {53, "FREECAMERA_DOWN", 5, 0x8},
    {54, "FREECAMERA_FASTER", 8, 0x98},
    {55, "FREECAMERA_SLOWER", 8, 0x98},
    {56, "FREECAMERA_SCALE_TRANSLATION_UP", 6, 0x8},
    {57, "FREECAMERA_SCALE_TRANSLATION_DOWN", 6, 0x8},
    {58, "FREECAMERA_SCALE_ROTATION_UP", 6, 0x8},
    {59, "FREECAMERA_SCALE_ROTATION_DOWN", 6, 0x8},
    {60, "FREECAMERA_ZOOM_IN", 5, 0x98},
    {61, "FREECAMERA_ZOOM_OUT", 5, 0x98},
    {62, "FREECAMERA_LENS_PREV", 6, 0x8},
    {63, "FREECAMERA_LENS_NEXT", 6, 0x8},
    {64, "PAUSE", 12, 0x1},
    {65, "DEBUG_ENABLE", 6, 0x200},
    {66, "DEBUG_DISABLE", 12, 0xFFFFFFFF},
    {67, "DEBUG_SELECT_HIDDEN", 11, 0x91},
    {300, "PHOTOMODE_X", 1, 0x23},
    {301, "PHOTOMODE_Z", 1, 0x23},
    {302, "PHOTOMODE_UP", 5, 0x23},
    {303, "PHOTOMODE_DOWN", 5, 0x23},
    {304, "PHOTOMODE_HEADING", 1, 0x23},
    {305, "PHOTOMODE_PITCH", 2, 0x23},
    {306, "PHOTOMODE_ENABLE_CAMERA_MOVEMENT", 10, 0x23},
    {307, "PHOTOMODE_HIDE_MENU", 6, 0x23},
    {308, "PHOTOMODE_RESET", 6, 0x23},
    {309, "PHOTOMODE_TAKE_PHOTO_PC", 6, 0x23},
};

// The action's channel bits, recovered one bit at a time.
std::uint32_t channelsOf(input::InputManager& m, int id) {
    std::uint32_t mask = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (m.channelMatch(id, static_cast<int>(1u << bit)))
            mask |= 1u << bit;
    }
    return mask;
}

// Opens one channel of `channels` through the mode flags; false when none can be opened.
bool openOneOf(input::InputManager& m, std::uint32_t channels) {
    if (channels & input::CHANNEL_MENU)
        m.setMenu(true);
    else if (channels & (input::CHANNEL_GAME | input::CHANNEL_PLAYER))
        m.setGame(true);
    else if (channels & input::CHANNEL_FREE_CAMERA)
        m.setFreeCameraWithoutPlayerControls(true);
    else if (channels & input::CHANNEL_DEBUG)
        m.setDebug(true);
    else
        return false;
    return true;
}

} // namespace

class Registry : public ManagerTest {
protected:
    // The control type of a default action as its reads reveal it, on a pad-only manager with one
    // of its channels open and the action bound to the right trigger, the left stick's X axis and
    // the key 'K'; -1 when the behaviour matches no type.
    static constexpr int kNotLive = -2;

    int observedType(const Row& row) {
        input::InputManager& m = make(false, false);
        if (!openOneOf(m, row.channels))
            return kNotLive;
        const int id = row.id;
        m.clearGamepadBindings();
        m.clearKeyBindings();
        m.bindGamepad(id, input::GAMEPAD_RIGHT_TRIGGER);
        m.bindGamepad(id, input::GAMEPAD_LEFT_STICK_X);
        m.bindKeyboard(id, 'K');
        const float dt = 0.25f;
        auto step = [&](std::uint8_t trigger, std::int16_t x) {
            sim::setPad(0, Report().triggers(0, trigger).sticks(x, 0, 0, 0));
            frame(dt);
        };
        step(128, 32767); // trigger down 0.25 s, stick full right
        bool d1 = m.readDigital(id);
        float v1 = m.readAnalog(id);
        m.setBufferingMode(input::BUFFERING_WORLD_STEP);
        float buffered = m.readAnalog(id);
        m.setBufferingMode(input::BUFFERING_LIVE);
        step(128, 0); // held 0.5 s, stick centred
        bool d2 = m.readDigital(id);
        float v2 = m.readAnalog(id);
        step(0, 0); // released after 0.5 s
        bool d3 = m.readDigital(id);
        step(0, 0);
        step(128, 0);
        step(0, 0); // released after 0.25 s
        bool tap = m.readDigital(id);
        rawKey('K', true);
        frame(dt);
        bool raw1 = m.readDigital(id);
        frame(dt);
        bool raw2 = m.readDigital(id);

        if (!d1 && !d2 && !d3 && !tap && !raw1) {
            if (v1 == 1.0f && v2 == 0.0f)
                return input::CONTROL_AXIS;
            if (v1 == -1.0f && v2 == 0.0f)
                return input::CONTROL_AXIS_INVERTED;
            return v1 == 0.0f && v2 == 0.0f ? input::CONTROL_NONE : -1;
        }
        if (d1 && d2 && !d3)
            return buffered == 1.0f ? input::CONTROL_DOWN : input::CONTROL_ANALOGUE_BUTTON;
        if (d1 && !d2)
            return input::CONTROL_PRESSED;
        if (!d1 && d3)
            return input::CONTROL_RELEASED;
        if (!d1 && d2)
            return input::CONTROL_HOLD;
        if (tap)
            return input::CONTROL_TAP;
        if (raw1)
            return raw2 ? input::CONTROL_RAW_KEY_DOWN : input::CONTROL_RAW_KEY_PRESSED;
        return -1;
    }
};

TEST_F(Registry, DefaultVocabularyIsWhole) {
    std::map<int, int> perType;
    for (const Row& row : kVocabulary)
        ++perType[row.type];
    EXPECT_EQ(sizeof kVocabulary / sizeof kVocabulary[0], 78u);
    EXPECT_EQ(perType, (std::map<int, int>{
                           {1, 13}, {2, 3}, {5, 15}, {6, 37}, {8, 2}, {10, 1}, {11, 3}, {12, 4}}));

    input::InputManager& m = *manager;
    for (const Row& row : kVocabulary) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(nameOf(m, row.id), row.name);
        EXPECT_EQ(m.getAction(row.name), row.id);
        EXPECT_EQ(channelsOf(m, row.id), row.channels);
    }
    for (int gap = 68; gap < 300; ++gap) {
        EXPECT_TRUE(m.isActionAssigned(gap));
        EXPECT_EQ(nameOf(m, gap), "");
        EXPECT_EQ(channelsOf(m, gap), 0u) << gap;
    }
    EXPECT_FALSE(m.isActionAssigned(310));
    EXPECT_EQ(nameOf(m, 310), "INVALID");
    EXPECT_EQ(m.getAction(""), -1);
}

TEST_F(Registry, DefaultControlTypesShowInTheReads) {
    int observed = 0;
    for (const Row& row : kVocabulary) {
        SCOPED_TRACE(row.name);
        int type = observedType(row);
        if (type == kNotLive)
            continue;
        EXPECT_EQ(type, row.type);
        ++observed;
    }
    EXPECT_EQ(observed, 75); // all but the three debug-keys actions
}

TEST_F(Registry, GrowthGapsAndLookups) {
    input::InputManager& m = *manager;
    m.registerAction(400, "LATE", input::CONTROL_DOWN, input::CHANNEL_ALL);
    EXPECT_TRUE(m.isActionAssigned(400));
    EXPECT_FALSE(m.isActionAssigned(401));
    EXPECT_EQ(nameOf(m, 401), "INVALID");
    EXPECT_EQ(nameOf(m, -1), "INVALID");
    for (int gap = 310; gap < 400; ++gap) {
        EXPECT_TRUE(m.isActionAssigned(gap));
        EXPECT_EQ(nameOf(m, gap), "");
    }
    // A gap never reads, whatever is open and pressed.
    m.setMenu(true);
    m.bindKeyboard(350, 'G');
    keyDown('G');
    frame();
    EXPECT_FALSE(m.readDigital(350));
    EXPECT_EQ(m.readAnalog(350), 0.0f);
    m.setBufferingMode(input::BUFFERING_WORLD_STEP);
    EXPECT_EQ(m.readAnalog(350), 0.0f);

    EXPECT_EQ(m.getAction("NEVER_REGISTERED"), -1);
    EXPECT_EQ(m.getAction("menu_a"), -1); // names are case-sensitive
    EXPECT_EQ(m.getAction(""), -1);
    m.registerAction(401, "", input::CONTROL_DOWN, input::CHANNEL_MENU);
    EXPECT_EQ(m.getAction(""), 401);

    const char* longName = "FREECAMERA_SCALE_TRANSLATION_DOWN_AGAIN_AND_AGAIN"; // 49 characters
    m.registerAction(402, longName, input::CONTROL_DOWN, input::CHANNEL_MENU);
    EXPECT_EQ(nameOf(m, 402), longName);
    EXPECT_EQ(m.getAction(longName), 402);
    EXPECT_EQ(m.getAction("FREECAMERA_SCALE_TRANSLATION_DOWN"), 57);
}

TEST_F(Registry, ReRegistrationRepointsOnlyWhatItNames) {
    input::InputManager& m = *manager;
    m.registerAction(500, "MENU_A", input::CONTROL_DOWN, input::CHANNEL_GAME);
    EXPECT_EQ(m.getAction("MENU_A"), 500);
    EXPECT_EQ(nameOf(m, 18), "MENU_A");
    EXPECT_EQ(channelsOf(m, 18), input::CHANNEL_MENU);
    EXPECT_EQ(channelsOf(m, 500), input::CHANNEL_GAME);

    m.registerAction(19, "RENAMED", input::CONTROL_AXIS, input::CHANNEL_CONSOLE);
    EXPECT_EQ(nameOf(m, 19), "RENAMED");
    EXPECT_EQ(channelsOf(m, 19), input::CHANNEL_CONSOLE);
    EXPECT_EQ(m.getAction("RENAMED"), 19);
    EXPECT_EQ(m.getAction("MENU_A_DOWN"), 19); // the old name still points here
}
