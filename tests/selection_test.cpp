// Which pad is the current one, and the connectivity refresh of all four.

#include "support/fixture.h"

using namespace testing_support;

TEST_F(ManagerTest, SelectionPairsSlotAndId) {
    input::InputManager& m = *manager;
    EXPECT_EQ(m.getSelectedGamepad(), -1);
    EXPECT_EQ(m.getActiveGamepadID(), -1);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(0));
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(m.getGamepad(slot)->getID(), slot);

    m.setSelectedGamepad(2);
    EXPECT_EQ(m.getSelectedGamepad(), 2);
    EXPECT_EQ(m.getActiveGamepadID(), 2);
    EXPECT_EQ(m.getGamepad(), m.getGamepad(2));
    frame(); // tracking keeps the pairing
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

TEST_F(ManagerTest, RefreshMakesTheNextUpdateReadEveryController) {
    sim::setPad(1, Report());
    make();
    frame(); // the first poll of each pad reads
    unsigned reads[4];
    for (unsigned user = 0; user < 4; ++user)
        reads[user] = sim::padReads(user);
    frame();
    EXPECT_EQ(sim::padReads(0), reads[0]);     // not connected: not read
    EXPECT_EQ(sim::padReads(1), reads[1] + 1); // connected: read every frame
    manager->refreshGamepadConnectivity();
    frame();
    for (unsigned user = 0; user < 4; ++user)
        EXPECT_EQ(sim::padReads(user), reads[user] + (user == 1 ? 2u : 1u)) << user;
    frame();
    EXPECT_EQ(sim::padReads(3), reads[3] + 1);
}
