#pragma once

#include "app/event.h"
#include "input/export.h"

namespace input {

// The raw keyboard event buffer: key events become per-frame key states with press edges and a
// ring of typed keys. Its state is shared by every Keyboard object (building one clears it). It
// belongs to one thread at a time; the host creates, feeds and updates it.
class INPUT_API Keyboard : public app::EventHandler {
public:
    Keyboard();
    Keyboard(const Keyboard& other);
    Keyboard(Keyboard&& other);
    Keyboard& operator=(const Keyboard& other);
    Keyboard& operator=(Keyboard&& other);
    ~Keyboard() override;

    using app::EventHandler::handleAppEvent;
    // Records one key event. An event with a key code outside 0-255 is ignored. Returns false.
    bool handleAppEvent(app::RawKeyEvent* event) override;

    // Once a frame: publishes the events since the last update.
    void update();
    void reset();

    bool isKeyboardBufferEmpty() const;
    // The oldest readable typed key (code, character, modifiers 0x1 Ctrl, 0x2 Shift, 0x4 Alt);
    // false and the outputs untouched when there is none.
    bool readKeyboardBuffer(int& key, char& character, int& modifiers);

    // Codes outside 0-255 read false.
    bool keyDown(int key) const;
    bool keyPressed(int key) const;
};

} // namespace input
