// Which pad is the current one, and the connectivity refresh of all four.

#include "support/fixture.h"

using namespace testing_support;

TEST_F(ManagerTest, SelectionPairsSlotAndId) {
    input::InputManager& m = *manager;
    EXPECT_EQ(m.getSelectedGamepad(), -1);
    EXPECT_EQ(m.getActiveGamepadID(), -1);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(0));
    EXPECT_EQ(m.getSecondaryGamepad(), m.getGamepad(1));
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(m.getGamepad(slot)->getID(), slot);

    m.setSelectedGamepad(2);
    EXPECT_EQ(m.getSelectedGamepad(), 2);
    EXPECT_EQ(m.getActiveGamepadID(), 2);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(2));
    EXPECT_EQ(m.getSecondaryGamepad(), m.getGamepad(1)); // always slot 1
    frame();                                             // tracking keeps the pairing
    EXPECT_EQ(m.getSelectedGamepad(), 2);
    m.unassignGamepad(2);
    m.unassignGamepad(-7);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(2));

    m.setSelectedGamepad(4); // outside the slots: ignored
    m.setSelectedGamepad(-1);
    EXPECT_EQ(m.getSelectedGamepad(), 2);
    EXPECT_EQ(m.getGamepad(4), nullptr);
    EXPECT_EQ(m.getGamepad(-1), nullptr);

    m.clearSelectedGamepad();
    EXPECT_EQ(m.getSelectedGamepad(), -1);
    EXPECT_EQ(m.getActiveGamepadID(), -1);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(0));
    frame();
    EXPECT_EQ(m.getSelectedGamepad(), -1);
}

// Which pads poll when is the pad's rule (gamepad_test.cpp); the manager asks all four.
TEST_F(ManagerTest, RefreshMakesTheNextUpdateReadEveryController) {
    frame(); // the first poll of each pad reads; none is connected
    unsigned reads[4];
    for (unsigned user = 0; user < 4; ++user)
        reads[user] = sim::padReads(user);
    manager->refreshGamepadConnectivity();
    frame();
    frame();
    for (unsigned user = 0; user < 4; ++user)
        EXPECT_EQ(sim::padReads(user), reads[user] + 1) << user;
}
