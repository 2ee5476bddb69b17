#include "support/fixture.h"

using namespace testing_support;

TEST_F(ManagerTest, Smoke) {
    frame();
    EXPECT_EQ(input::InputManager::getInstance(), manager.get());
}
