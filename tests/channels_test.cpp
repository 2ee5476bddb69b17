#include <string>
#include <utility>

#include "support/actions.h"

using namespace testing_support;
using namespace input;

class Channels : public ActionTest {
protected:
    // Sets the mode flags named by letters (all others off), runs a frame, returns the mask:
    // g game, m menu, c conversation, l loading, o console, d debug, b debug block polling,
    // u UI message, v video, k key binding screen, f free camera, r keyframer, and s / p for
    // player control taken away by a script / by the game.
    std::uint32_t maskFor(const std::string& flags) {
        auto on = [&](char flag) { return flags.find(flag) != std::string::npos; };
        manager->setGame(on('g'));
        manager->setMenu(on('m'));
        manager->setConversation(on('c'));
        manager->setLoading(on('l'));
        manager->setConsole(on('o'));
        manager->setDebug(on('d'));
        manager->setDebugBlockPolling(on('b'));
        manager->setUIMessage(on('u'));
        manager->setVideo(on('v'));
        manager->setBinding(on('k'));
        manager->setFreeCameraWithoutPlayerControls(on('f'));
        manager->setRedirectToKeyframer(on('r'));
        manager->setPlayerControlEnabled(!on('s'), true);
        manager->setPlayerControlEnabled(!on('p'), false);
        frame();
        return activeMask();
    }
};

TEST_F(Channels, ModeFlagsGiveTheActiveMask) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0x0},     {"g", 0x3},     {"gs", 0x1},  {"gp", 0x1},   {"gm", 0x20},   {"gc", 0x23},
        {"gcr", 0x25}, {"c", 0x23},    {"l", 0x100}, {"lm", 0x120}, {"lmc", 0x120}, {"odm", 0x40},
        {"ob", 0x40},  {"bd", 0x80},   {"du", 0x10}, {"ul", 0x400}, {"mc", 0x20},   {"f", 0x8},
        {"gfr", 0x9},  {"gr", 0x5},    {"mf", 0x20}, {"r", 0x0},    {"v", 0x800},   {"vo", 0x840},
        {"vg", 0x803}, {"kgmvf", 0x0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(maskFor(c.first), c.second) << "flags " << c.first;

    // Between updates the mask stays as the last update left it.
    maskFor("g");
    manager->setMenu(true);
    EXPECT_TRUE(manager->isChannelOn(CHANNEL_GAME));
    EXPECT_FALSE(manager->isChannelOn(CHANNEL_MENU));
}

TEST_F(Channels, FocusAndInputMode) {
    manager->setFocus(false);
    EXPECT_EQ(maskFor("gvf"), 0u);
    pad(Report().press(GAMEPAD_A)); // LOADING_CONTINUE, all channels
    rawKey(27, true);               // DEBUG_DISABLE, all channels
    frame();
    EXPECT_FALSE(manager->readDigital(ACTION_LOADING_CONTINUE));
    EXPECT_FALSE(manager->readDigital(ACTION_DEBUG_DISABLE));
    EXPECT_EQ(manager->readAnalog(ACTION_LOADING_CONTINUE), 0.0f);

    make(true, false); // not in PC input mode: focus does not matter
    manager->setFocus(false);
    EXPECT_EQ(maskFor("m"), 0x20u);
}

TEST_F(Channels, CombinedPredicates) {
    // The manager never allows debug buttons itself, whatever the debug flags say.
    manager->setDebug(true);
    manager->setDebugButtons(true);
    EXPECT_FALSE(manager->isDebugButtonsOn());
    EXPECT_TRUE(manager->isDebugBlockPolling());
    // Allowed, in PC input mode they need the debug buttons, debug or the console (flags b, d,
    // o), never the key binding screen (k); outside it nothing else. Block polling (p) is asked
    // for, or follows from the buttons being off.
    const struct {
        bool pcMode;
        const char* flags;
        bool on;
    } cases[] = {{true, "", false},   {true, "b", true},  {true, "d", true}, {true, "o", true},
                 {true, "dk", false}, {true, "bp", true}, {false, "", true}, {false, "k", false}};
    for (const auto& c : cases) {
        make(true, c.pcMode);
        sim::setDebugButtonsAllowed(*manager, true);
        auto on = [&](char flag) { return std::string(c.flags).find(flag) != std::string::npos; };
        manager->setDebugButtons(on('b'));
        manager->setDebug(on('d'));
        manager->setConsole(on('o'));
        manager->setBinding(on('k'));
        manager->setDebugBlockPolling(on('p'));
        EXPECT_EQ(manager->isDebugButtonsOn(), c.on) << c.pcMode << c.flags;
        EXPECT_EQ(manager->isDebugBlockPolling(), on('p') || !c.on) << c.pcMode << c.flags;
    }
    // Leaving debug or the console turns the debug buttons off.
    sim::setDebugButtonsAllowed(make(), true);
    for (auto mode : {&InputManager::setDebug, &InputManager::setConsole}) {
        manager->setDebugButtons(true);
        (manager.get()->*mode)(true);
        (manager.get()->*mode)(false);
        EXPECT_FALSE(manager->isDebugButtonsOn());
    }
    manager->setPlayerControlEnabled(false, true);
    EXPECT_FALSE(manager->isPlayerControlEnabled());
    EXPECT_FALSE(manager->isPlayerControlEnabledByScript());
    manager->setPlayerControlEnabled(true, true);
    manager->setPlayerControlEnabled(false, false);
    EXPECT_FALSE(manager->isPlayerControlEnabled());
    EXPECT_TRUE(manager->isPlayerControlEnabledByScript());
}

TEST_F(Channels, ExclusiveActions) {
    maskFor("m");
    keyDown(13); // Enter: MENU_A
    keyDown(27); // Escape: MENU_B
    IdList ids = idList({ACTION_MENU_A});
    manager->setExclusiveActions(ids, CHANNEL_MENU);
    ids.pushBack(ACTION_MENU_B); // the manager keeps its own copy
    frame();
    EXPECT_TRUE(manager->readDigital(ACTION_MENU_A));
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_B));
    EXPECT_EQ(manager->readAnalog(ACTION_MENU_B), 0.0f);
    EXPECT_TRUE(manager->isActionBlocked(ACTION_MENU_B));
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MENU_A));
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MOVE_UP)); // outside the exclusive channels
    // DEBUG_DISABLE (all channels) meets the exclusive channel too.
    EXPECT_TRUE(manager->isActionBlocked(ACTION_DEBUG_DISABLE));

    manager->clearExclusiveActions();
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MENU_B));
    EXPECT_TRUE(manager->readAnalog(ACTION_MENU_B) > 0.0f);

    IdList none;
    manager->setExclusiveActions(none, CHANNEL_ALL);
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MENU_B));
    manager->setExclusiveActions(ids, CHANNEL_MENU);
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MENU_B)); // listed now
    EXPECT_TRUE(manager->isActionBlocked(ACTION_MENU_X));
    manager->setExclusiveActions(ids, CHANNEL_GAME);
    EXPECT_FALSE(manager->isActionBlocked(ACTION_MENU_X));
    EXPECT_TRUE(manager->isActionBlocked(ACTION_PAUSE));
}
