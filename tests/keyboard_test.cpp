// The raw keyboard buffer: per-frame key states from key events, and the ring of typed keys.

#include "support/fixture.h"

using namespace testing_support;

namespace {

class RawKeyboard : public FreshMachine {
protected:
    void event(int key, bool down, int modifiers = 0, char character = 0) {
        app::RawKeyEvent e = rawKeyEvent(key, down, modifiers, character);
        EXPECT_FALSE(keyboard.handleAppEvent(&e));
    }
    struct Entry {
        int key = -1;
        char character = 0;
        int modifiers = -1;
    };
    Entry read() {
        Entry entry;
        EXPECT_TRUE(keyboard.readKeyboardBuffer(entry.key, entry.character, entry.modifiers));
        return entry;
    }

    input::Keyboard keyboard;
};

constexpr int kShift = app::RawKeyEvent::MODIFIER_SHIFT;
constexpr int kCtrl = app::RawKeyEvent::MODIFIER_CTRL;
constexpr int kAlt = app::RawKeyEvent::MODIFIER_ALT;

} // namespace

TEST_F(RawKeyboard, KeyStatesFollowTheFrames) {
    event('A', true);
    event('A', false);
    EXPECT_FALSE(keyboard.keyDown('A')); // nothing before the update
    keyboard.update();
    EXPECT_TRUE(keyboard.keyDown('A'));
    EXPECT_TRUE(keyboard.keyPressed('A'));
    keyboard.update();
    EXPECT_FALSE(keyboard.keyDown('A'));

    event('B', true);
    keyboard.update();
    keyboard.update();
    EXPECT_TRUE(keyboard.keyDown('B')); // held between events
    EXPECT_FALSE(keyboard.keyPressed('B'));
    event('B', false);
    keyboard.update();
    EXPECT_TRUE(keyboard.keyDown('B')); // the frame of the up event still reads down
    keyboard.update();
    EXPECT_FALSE(keyboard.keyDown('B'));

    event('C', true, kCtrl); // marks Ctrl down without Ctrl's own event
    event('C', false, kCtrl);
    event('V', false, kCtrl); // an up event with Ctrl does not release Ctrl
    keyboard.update();
    keyboard.update();
    EXPECT_TRUE(keyboard.keyDown(17));
    event(17, false);
    keyboard.update();
    keyboard.update();
    EXPECT_FALSE(keyboard.keyDown(17));

    event('D', true, kShift | kAlt);
    keyboard.update();
    EXPECT_TRUE(keyboard.keyDown(16));
    EXPECT_TRUE(keyboard.keyDown(18));
    EXPECT_FALSE(keyboard.keyDown(17));

    input::Keyboard second; // shares the state, and clears it
    EXPECT_FALSE(keyboard.keyDown('D'));
    EXPECT_TRUE(keyboard.isKeyboardBufferEmpty());
}

TEST_F(RawKeyboard, RingReordersModifiersAndKeepsSixtyThree) {
    event('S', true, kShift, 'S');
    event('S', false, 0, 'x'); // up events never enter the ring
    event('C', true, kCtrl, 'c');
    event('L', true, kAlt | kCtrl | kShift, 'l');
    EXPECT_TRUE(keyboard.isKeyboardBufferEmpty()); // readable from the next update
    int key = 7, modifiers = 7;
    char character = 'z';
    EXPECT_FALSE(keyboard.readKeyboardBuffer(key, character, modifiers));
    EXPECT_EQ(key, 7);
    EXPECT_EQ(character, 'z');
    keyboard.update();
    event('M', true, 0, 'm'); // after the update: not yet readable

    Entry shift = read();
    EXPECT_EQ(shift.key, 'S');
    EXPECT_EQ(shift.character, 'S');
    EXPECT_EQ(shift.modifiers, 0x2);
    EXPECT_EQ(read().modifiers, 0x1);
    EXPECT_EQ(read().modifiers, 0x7);
    EXPECT_TRUE(keyboard.isKeyboardBufferEmpty());
    keyboard.update();
    EXPECT_EQ(read().key, 'M');

    for (int i = 0; i < 64; ++i)
        event(i + 1, true, 0, static_cast<char>(i));
    keyboard.update();
    Entry first = read();
    int count = 1;
    for (; !keyboard.isKeyboardBufferEmpty(); ++count)
        read();
    EXPECT_EQ(count, 63);
    EXPECT_EQ(first.key, 2); // the oldest was dropped
    EXPECT_EQ(first.character, 1);
}
