#include "support/actions.h"

using namespace testing_support;
using namespace input;

// Whole frame sequences as a game drives them: events and snapshots, update, then reads.
class Frames : public ActionTest {};

TEST_F(Frames, RoadOfOnePress) {
    manager->setMenu(true);
    frame();
    ASSERT_TRUE(manager->isUsingKeyboardAndMouse());

    // Step 1: A goes down in its first frame and stays down in the second.
    padFrame(Report().press(GAMEPAD_A));
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());
    EXPECT_EQ(activeMask(), std::uint32_t(CHANNEL_MENU));
    EXPECT_TRUE(manager->readDigital(ACTION_MENU_A));
    EXPECT_TRUE(steppedDigital(ACTION_MENU_A));
    frame();
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A));
    EXPECT_TRUE(steppedDigital(ACTION_MENU_A)); // the step saw the press
    manager->setBufferingMode(BUFFERING_WORLD_STEP);
    EXPECT_EQ(manager->readAnalog(ACTION_MENU_A), 1.0f);
    manager->switchWorldStepBuffers();
    EXPECT_EQ(manager->getBufferingMode(), BUFFERING_LIVE);

    // Step 2: still held, then let go.
    frame();
    padFrame(Report());
    EXPECT_FALSE(steppedDigital(ACTION_MENU_A));
    EXPECT_TRUE(steppedDigital(ACTION_MENU_A_DOWN));
    manager->switchWorldStepBuffers();

    // Outside the menu the same press reaches only the actions of the open channels.
    manager->setMenu(false);
    manager->setGame(true);
    padFrame(Report().press(GAMEPAD_A));
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A));
    EXPECT_FALSE(steppedDigital(ACTION_MENU_A));
    EXPECT_TRUE(manager->readDigital(ACTION_ABORT_VIDEO));
    EXPECT_TRUE(steppedDigital(ACTION_ABORT_VIDEO));
}

TEST_F(Frames, KeyboardToPadAndBack) {
    manager->setGame(true);
    manager->bindKeyboard(ACTION_MOVE_LEFT, 74); // J
    keyDown(74);
    mouseMove(6, 0);
    frame();
    EXPECT_TRUE(manager->isUsingKeyboardAndMouse());
    EXPECT_TRUE(manager->readDigital(ACTION_MOVE_LEFT));
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), -1.0f);
    EXPECT_GT(manager->readAnalog(ACTION_CAMERA_X), 0.0f);

    // The player lets go of the keys and pushes the sticks.
    keyUp(74);
    manager->resetMouseInputDeltas();
    padFrame(Report().sticks(32767, 0, -32768, 0));
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 1.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_X), -1.0f);
    padFrame(Report());
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 0.0f);

    // A nudge of the mouse brings the keyboard and mouse back.
    mouseMove(-3, 0);
    frame();
    EXPECT_TRUE(manager->isUsingKeyboardAndMouse());
    float camera = manager->readAnalog(ACTION_CAMERA_X);
    EXPECT_LT(camera, 0.0f);

    // The step kept each axis's latest non-zero value, whichever device gave it.
    manager->setBufferingMode(BUFFERING_WORLD_STEP);
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 1.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_X), camera);
    EXPECT_TRUE(manager->readDigital(ACTION_MOVE_LEFT));
}

TEST_F(Frames, PromptFollowsARebind) {
    manager->setMenu(true);
    switchToPad();
    m::Vector2Template<float> position{0, 0}, size{0, 0};
    float rotation = 1;
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MENU_A), 13);

    // On the binding screen nothing reads while the player picks Y.
    manager->setBinding(true);
    padFrame(Report().press(GAMEPAD_Y));
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_Y));
    ASSERT_TRUE(manager->getGamepad()->buttonPressed(GAMEPAD_Y));
    manager->clearGamepadBindings();
    manager->bindGamepad(ACTION_MENU_A, GAMEPAD_Y);
    manager->clearKeyBindings();
    manager->bindKeyboard(ACTION_MENU_A, 32);
    manager->setBinding(false);
    padFrame(Report());

    int glyph = manager->getGlyphIndex(ACTION_MENU_A);
    EXPECT_EQ(glyph, 16);
    manager->getHUDAtlasPositionAndSize(glyph, GLYPH_SET_1, position, size, rotation);
    EXPECT_EQ(position.x, 8.0f);
    EXPECT_EQ(position.y, 2.0f);
    EXPECT_EQ(size.x, 2.0f);
    EXPECT_EQ(rotation, 0.0f);
    vel::InplaceWString<128> keyName, spaceName;
    EXPECT_TRUE(manager->getKeyName(ACTION_MENU_A, keyName));
    manager->getKeycodeName(32, spaceName);
    EXPECT_EQ(narrow(keyName), narrow(spaceName));

    // The new button reads; the old one no longer does.
    padFrame(Report().press(GAMEPAD_A));
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A));
    padFrame(Report());
    padFrame(Report().press(GAMEPAD_Y));
    EXPECT_TRUE(manager->readDigital(ACTION_MENU_A));
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MENU_Y), -1);
}
