// The key binding screen's helpers: capturing the next input, editing one binding in place,
// conflicts, and the bindings profile with its checks.

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/control.h"
#include "support/failing_allocations.h"
#include "support/fixture.h"
#include "support/profile_state.h"
#include "support/watchdog.h"

using namespace testing_support;
using input::BINDING_GAMEPAD;
using input::BINDING_KEYBOARD;
using input::CapturedInput;

namespace {

class Rebinding : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        manager->setMenu(true);
        manager->setBinding(true); // the screen is up: no action is live
    }
    CapturedInput poll(input::BindingCapture& capture) {
        frame();
        return capture.poll();
    }
    std::string path(const char* name) { return ::testing::TempDir() + name; }
};

// What only the simulated machine can be made to do: press a mouse button, fail a file move.
class SimRebinding : public Rebinding {};

std::string describe(const CapturedInput& c) {
    const char* kinds[] = {"nothing", "key", "button", "stick", "cancel"};
    std::ostringstream out;
    out << kinds[c.kind];
    if (c.kind == CapturedInput::KEY || c.kind == CapturedInput::PAD_BUTTON ||
        c.kind == CapturedInput::PAD_STICK)
        out << ' ' << c.code;
    if (c.kind == CapturedInput::PAD_STICK)
        out << (c.direction > 0 ? '+' : '-');
    if (c.slot >= 0)
        out << " @" << int(c.slot);
    return out.str();
}

} // namespace

// --- Capture -------------------------------------------------------------------------------------

TEST_F(Rebinding, CaptureIgnoresWhatWasHeldAndTakesKeysWheelAndCancel) {
    keyDown(13); // the Enter that chose the menu entry
    frame();
    input::BindingCapture capture(*manager);
    EXPECT_EQ(describe(poll(capture)), "nothing") << "Enter still held";
    EXPECT_FALSE(manager->readDigital(input::ACTION_MENU_A)) << "no action is live meanwhile";
    keyDown(70); // F goes down while Enter is still held
    EXPECT_EQ(describe(poll(capture)), "key 70");
    EXPECT_EQ(describe(poll(capture)), "nothing") << "F held: counted once";
    keyUp(13);
    EXPECT_EQ(describe(poll(capture)), "nothing");
    keyDown(13);
    EXPECT_EQ(describe(poll(capture)), "key 13") << "Enter again after its release";
    keyUp(13);
    keyUp(70);

    mouseMove(0, 0, 1);
    EXPECT_EQ(describe(poll(capture)), "key 256");
    manager->resetMouseInputDeltas(); // the game has used the notch
    mouseMove(0, 0, -1);
    EXPECT_EQ(describe(poll(capture)), "key 257");
    // Two keys in one frame: the lower code; then Escape cancels before any key.
    keyDown(66);
    keyDown(65);
    EXPECT_EQ(describe(poll(capture)), "key 65");
    keyDown(27);
    keyDown(90);
    EXPECT_EQ(describe(poll(capture)), "cancel");
    keyUp(27);
    keyUp(90);

    // restart() forgets: a key held across it must be released first.
    keyDown(71);
    frame();
    capture.restart();
    EXPECT_EQ(describe(poll(capture)), "nothing");
}

TEST_F(Rebinding, CaptureTakesPadButtonsTriggersAndSticksWhenAsked) {
    sim::connectPad(1);
    sim::setPad(1, Report().sticks(0, 0, 30000, 0)); // a stick resting far off centre
    frame();
    input::BindingCapture::Options options;
    options.padSticks = true;
    input::BindingCapture capture(*manager, options);
    input::BindingCapture buttonsOnly(*manager);

    sim::setPad(1, Report().sticks(0, 0, 30000, 0).triggers(0, 200));
    EXPECT_EQ(describe(poll(capture)), "button 17 @1") << "the right trigger as a button";
    sim::setPad(1, Report().sticks(0, 0, 0, 0));
    EXPECT_EQ(describe(poll(capture)), "nothing");
    sim::setPad(1, Report().sticks(0, -30000, 0, 0));
    EXPECT_EQ(describe(poll(capture)), "stick 21- @1");
    EXPECT_EQ(describe(buttonsOnly.poll()), "nothing") << "sticks are off by default";
    sim::setPad(1, Report().sticks(0, 0, 30000, 0));
    EXPECT_EQ(describe(poll(capture)), "stick 22+ @1") << "the resting stick, once back";
    sim::setPad(1, Report().press(input::GAMEPAD_A).press(input::GAMEPAD_BACK));
    EXPECT_EQ(describe(poll(capture)), "cancel") << "Back cancels before A";

    // A pad that connects with a button held counts it only after its release.
    sim::setPad(2, Report().press(input::GAMEPAD_X));
    sim::connectPad(2);
    manager->refreshGamepadConnectivity();
    EXPECT_EQ(describe(poll(capture)), "nothing");
    sim::setPad(2, Report());
    poll(capture);
    sim::setPad(2, Report().press(input::GAMEPAD_X));
    EXPECT_EQ(describe(poll(capture)), "button 14 @2");

    // One slot only.
    options.padSlot = 3;
    input::BindingCapture slot3(*manager, options);
    sim::setPad(2, Report().press(input::GAMEPAD_Y));
    frame();
    EXPECT_EQ(describe(slot3.poll()), "nothing");
}

TEST_F(SimRebinding, CaptureTakesMouseButtons) {
    input::BindingCapture capture(*manager);
    sim::setAsyncKey(2, true); // right button, read from the operating system
    EXPECT_EQ(describe(poll(capture)), "key 2");
}

// --- Editing and conflicts -----------------------------------------------------------------------

TEST_F(Rebinding, ReplaceAppendAndRemoveKeepEveryOtherEntryInOrder) {
    std::string before = tables(*manager);
    using V = std::vector<unsigned short>;
    ASSERT_EQ(bindingsOf(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y), (V{8, 89}));

    EXPECT_TRUE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72));
    EXPECT_TRUE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 2, 89));
    EXPECT_EQ(bindingsOf(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y), (V{72, 89, 89}));
    EXPECT_EQ(bindingsOf(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y_DOWN), (V{89}));
    // Beyond the end, codes no profile carries and unknown devices change nothing.
    EXPECT_FALSE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 4, 1));
    EXPECT_FALSE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, -1, 1));
    EXPECT_FALSE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 258));
    EXPECT_FALSE(input::replaceBinding(*manager, BINDING_GAMEPAD, input::ACTION_MENU_Y, 0, 18));
    EXPECT_FALSE(
        input::replaceBinding(*manager, input::BindingDevice(7), input::ACTION_MENU_Y, 0, 1));
    EXPECT_FALSE(input::removeBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 3));

    EXPECT_TRUE(input::removeBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 2));
    EXPECT_TRUE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 8));
    EXPECT_EQ(tables(*manager), before);

    // The readers follow: the new key reads, the old one does not.
    EXPECT_TRUE(input::replaceBinding(*manager, BINDING_GAMEPAD, input::ACTION_MENU_A, 0,
                                      input::GAMEPAD_Y));
    manager->setBinding(false);
    EXPECT_EQ(manager->getGamepadButton(input::ACTION_MENU_A), input::GAMEPAD_Y);
    EXPECT_TRUE(input::removeBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_A, 0));
    keyDown(13);
    frame();
    EXPECT_FALSE(manager->readDigital(input::ACTION_MENU_A));
    EXPECT_TRUE(input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_A, 0, 13));
    EXPECT_TRUE(manager->readDigital(input::ACTION_MENU_A));
}

TEST_F(Rebinding, AReaderSeesTheActionsBindingsBeforeOrAfterAnEdit) {
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0}, reads{0};
    std::thread reader([&] {
        using V = std::vector<unsigned short>;
        while (!stop) {
            V codes = bindingsOf(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y);
            if (codes != V{8, 89} && codes != V{8, 89, 72} && codes != V{72, 89})
                ++torn;
            ++reads;
        }
    });
    {
        Watchdog watchdog("edits beside a reader", std::chrono::seconds(60));
        for (int i = 0; i < 2000 || reads < 100; ++i) {
            input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 2, 72);
            input::removeBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 2);
            input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72);
            input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 8);
        }
        stop = true;
        reader.join();
    }
    EXPECT_EQ(torn.load(), 0);
}

TEST_F(Rebinding, ConflictsAreTheLiveActionsOfTheChannelsEachOnce) {
    manager->registerAction(360, "FIRST", input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->registerAction(361, "SECOND", input::CONTROL_DOWN, input::CHANNEL_GAME);
    manager->bindKeyboard(361, 200);
    manager->bindKeyboard(360, 200);
    manager->bindKeyboard(360, 200);
    manager->bindKeyboard(5000, 200); // not registered: never a conflict
    int found[4] = {-1, -1, -1, -1};
    EXPECT_EQ(input::findConflicts(*manager, BINDING_KEYBOARD, 200, input::CHANNEL_MENU, found, 4),
              1);
    EXPECT_EQ(found[0], 360);
    EXPECT_EQ(input::findConflicts(*manager, BINDING_KEYBOARD, 200,
                                   input::CHANNEL_MENU | input::CHANNEL_GAME, found, 4),
              2);
    EXPECT_EQ(std::vector<int>(found, found + 2), (std::vector<int>{360, 361}));
    EXPECT_EQ(input::findConflicts(*manager, BINDING_KEYBOARD, 200, 0, found, 4), 0);
    EXPECT_EQ(input::findConflicts(*manager, BINDING_GAMEPAD, 200, -1, found, 4), 0);
    // A short buffer still learns the count.
    found[1] = -1;
    EXPECT_EQ(input::findConflicts(*manager, BINDING_KEYBOARD, 200, -1, found, 1), 2);
    EXPECT_EQ(found[1], -1);
}

TEST_F(Rebinding, AFailedAppendChangesNothing) {
    std::string before = tables(*manager);
    // Appending to the last action of a full table grows it now and then.
    int failed = 0;
    for (std::size_t i = 0; i < 32; ++i) { // as many as bindingsOf reads
        int n = failEachAllocationInTurn(
            "append",
            [&] {
                input::replaceBinding(*manager, BINDING_KEYBOARD, 390, static_cast<int>(i), 65);
            },
            [&] { EXPECT_EQ(bindingsOf(*manager, BINDING_KEYBOARD, 390).size(), i); });
        ASSERT_GE(n, 0);
        failed += n;
    }
    EXPECT_GT(failed, 0);
    EXPECT_EQ(bindingsOf(*manager, BINDING_KEYBOARD, 390).size(), 32u);
    while (input::removeBinding(*manager, BINDING_KEYBOARD, 390, 0)) {
    }
    EXPECT_EQ(tables(*manager), before);
}

// --- Profile -------------------------------------------------------------------------------------

TEST_F(Rebinding, AProfileRoundTripsTablesAndSettingsExactly) {
    input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72);
    input::replaceBinding(*manager, BINDING_GAMEPAD, input::ACTION_MENU_A, 1,
                          input::GAMEPAD_RIGHT_TRIGGER);
    manager->bindKeyboard(5000, input::KEY_WHEEL_DOWN); // unregistered ids go by number
    manager->bindGamepad(-3, input::GAMEPAD_RIGHT_STICK_Y);
    manager->setInvertVerticalForPad(true);
    manager->setInvertHorizontalForMouse(true);
    manager->setSticksSwapped(true);
    manager->setMouseSensitivity(0.3f);
    std::string text = profileText(*manager);
    EXPECT_EQ(text.find("gameinput-bindings 1\n"), text.find('\n') + 1) << text;
    EXPECT_NE(text.find("\nmouse-sensitivity 0.3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nkey MENU_Y 72\nkey MENU_Y 89\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nkey @5000 257\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\npad @-3 23\n"), std::string::npos) << text;
    std::string before = tables(*manager);

    // Saved, read by the next start's manager (the defaults), written again: the same.
    ASSERT_TRUE(input::saveBindingProfile(*manager, path("profile.txt").c_str()));
    EXPECT_EQ(readFile(path("profile.txt")), text);
    EXPECT_FALSE(fileExists(path("profile.txt.tmp")));
    make();
    ASSERT_NE(tables(*manager), before);
    input::ProfileError error;
    ASSERT_TRUE(input::loadBindingProfile(*manager, path("profile.txt").c_str(), &error))
        << error.message;
    EXPECT_EQ(tables(*manager), before);
    EXPECT_EQ(settings(*manager), "01101");
    EXPECT_EQ(profileText(*manager), text);

    // Reset is one call; a profile without settings lines leaves them.
    input::resetBindingProfile(*manager);
    EXPECT_EQ(settings(*manager), "00000");
    make();
    EXPECT_EQ(profileText(*manager), [&] {
        input::InputManager fresh(true, true);
        return profileText(fresh);
    }());
    const char bare[] = "gameinput-bindings 1\r\n  # nothing bound\r\nkey MENU_A 0x0D\n";
    manager->setInvertVerticalForMouse(true);
    ASSERT_TRUE(input::readBindingProfile(*manager, bare, sizeof bare - 1));
    EXPECT_EQ(tables(*manager), "0:18=13 ");
    EXPECT_EQ(settings(*manager), "10000");
    std::remove(path("profile.txt").c_str());
}

TEST_F(Rebinding, ADamagedProfileNamesWhereAndChangesNothing) {
    struct Case {
        std::string text;
        int line, column;
        const char* message;
    };
    const std::string head = "gameinput-bindings 1\n";
    const std::vector<Case> cases = {
        {"", 1, 1, "the profile is empty"},
        {"# only a comment\n", 1, 1, "the profile is empty"},
        {"bindings 1\n", 1, 1, "not a bindings profile"},
        {"gameinput-bindings 3\n", 1, 20,
         "unsupported profile version 3 (this library reads versions 1 and 2)"},
        {"gameinput-bindings\n", 1, 20, "expected a version number"},
        {head + "key MENU_Z 13\n", 2, 5, "unknown action \"MENU_Z\""},
        {head + "key " + std::string(50, 'N') + " 13\n", 2, 5,
         "unknown action \"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN...\""},
        {head + "key @x 13\n", 2, 5, "\"@x\" is not an action id"},
        {head + "key MENU_A 258\n", 2, 12, "key code 258 is out of range (expected 0 to 257)"},
        {head + "pad MENU_A 18\n", 2, 12, "pad code 18 is out of range"},
        {head + "pad MENU_A 0x10000\n", 2, 12, "pad code 65536 is out of range"},
        {head + "key MENU_A\n", 2, 12, "expected a key code"},
        {head + "key MENU_A 13 14\n", 2, 15, "unexpected \"14\" after the statement"},
        {head + "key MENU_A 1.5\n", 2, 12, "\"1.5\" is not a code"},
        {head + "keys MENU_A 13\n", 2, 1, "unknown statement \"keys\""},
        {head + "sticks-swapped 2\n", 2, 16, "sticks-swapped takes 0 or 1"},
        {head + "sticks-swapped 1\nsticks-swapped 1\n", 3, 1, "sticks-swapped is given twice"},
        {head + "mouse-sensitivity 1.5\n", 2, 19, "is not a number from 0 to 1"},
        {head + "mouse-sensitivity -0.5\n", 2, 19, "is not a number from 0 to 1"},
        {head + "key MENU_A 13\x01\n", 2, 14, "control character 0x01"},
        {head + "key MENU_A 13\r\n\x7f", 3, 1, "control character 0x7F"},
        {head + std::string("key MENU_A 13\0\n", 15), 2, 14, "control character 0x00"},
        {head + "# caf\xC3\n", 2, 6, "invalid UTF-8 (byte 0xC3)"},
        {head + "# \xC0\xAF overlong\n", 2, 3, "invalid UTF-8"},
        {head + "# \xED\xA0\x80 surrogate\n", 2, 3, "invalid UTF-8"},
        {head + "# \xF4\x90\x80\x80 past U+10FFFF\n", 2, 3, "invalid UTF-8"},
        // The size is the byte count, refused before any line is read.
        {head + std::string(input::kMaxProfileSize, '#'), 0, 0,
         "the profile is larger than 524288 bytes"},
        {head +
             [] {
                 std::string lines;
                 for (std::size_t i = 0; i <= input::kMaxProfileBindings; ++i)
                     lines += "key MENU_A 13\n";
                 return lines;
             }(),
         int(input::kMaxProfileBindings) + 2, 1,
         "more than 2048 key bindings (the most a profile carries)"},
        // Text saved as UTF-16, with or without a byte order mark; a UTF-8 one is skipped.
        {std::string("\xFF\xFEg\0a\0", 6), 1, 1, "UTF-16 text: save it as UTF-8"},
        {std::string("\xFE\xFF\0g\0a", 6), 1, 1, "UTF-16 text: save it as UTF-8"},
        {std::string("g\0a\0m\0", 6), 1, 1, "UTF-16 text: save it as UTF-8"},
        {"\xEF\xBB\xBF"
         "bindings 1\n",
         1, 4, "not a bindings profile"},
        {"\xEF\xBB\xBF"
         "gameinput-bindings 1\nkey MENU_A\n",
         2, 12, "expected a key code"},
        // The fault is in the last line: everything before it was good and is not applied.
        {head + "sticks-swapped 1\nkey MENU_A 72\npad MENU_A 99\n", 4, 12, "pad code 99"},
    };
    std::string before = tables(*manager) + settings(*manager) + profileText(*manager);
    for (const Case& c : cases) {
        input::ProfileError error;
        EXPECT_FALSE(input::readBindingProfile(*manager, c.text.data(), c.text.size(), &error))
            << c.message;
        EXPECT_EQ(error.line, c.line) << c.message << ": " << error.message;
        EXPECT_EQ(error.column, c.column) << c.message << ": " << error.message;
        EXPECT_NE(std::string(error.message).find(c.message), std::string::npos)
            << "got: " << error.message;
        EXPECT_EQ(tables(*manager) + settings(*manager) + profileText(*manager), before)
            << c.message;
    }
    // The same through a file, and a file that is not there.
    std::ofstream(path("damaged.txt"), std::ios::binary) << head << "pad MENU_A 18\n";
    input::ProfileError error;
    EXPECT_FALSE(input::loadBindingProfile(*manager, path("damaged.txt").c_str(), &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_FALSE(input::loadBindingProfile(*manager, path("missing.txt").c_str(), &error));
    EXPECT_EQ(error.line, 0);
    EXPECT_NE(std::string(error.message).find("cannot open"), std::string::npos);
    EXPECT_EQ(tables(*manager) + settings(*manager) + profileText(*manager), before);
    std::remove(path("damaged.txt").c_str());
}

TEST_F(SimRebinding, AFailedSaveLeavesTheOldProfileWhole) {
    std::string file = path("kept.txt");
    ASSERT_TRUE(input::saveBindingProfile(*manager, file.c_str()));
    std::string old = readFile(file);
    ASSERT_EQ(sim::fileMoves().size(), 1u);
    EXPECT_EQ(sim::fileMoves()[0], std::make_pair(file + ".tmp", file));

    input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72);
    sim::setFileMovesFail(true);
    input::ProfileError error;
    EXPECT_FALSE(input::saveBindingProfile(*manager, file.c_str(), &error));
    EXPECT_EQ(std::string(error.message), "cannot save \"" + file + "\": it cannot be replaced");
    EXPECT_EQ(readFile(file), old);
    EXPECT_FALSE(fileExists(file + ".tmp"));
    // A directory that does not exist cannot take the temporary file.
    EXPECT_FALSE(input::saveBindingProfile(*manager, path("no/such/dir/p.txt").c_str(), &error));
    EXPECT_NE(std::string(error.message).find("its folder does not exist"), std::string::npos);
    std::remove(file.c_str());
}
