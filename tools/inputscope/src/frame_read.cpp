// What the game reads after a frame's update: the devices as the library sees them and the
// actions, with the names and types a run knows.

#include <cmath>

#include "input/input.h"
#include "names.h"
#include "runner.h"
#include "text.h"

namespace inputscope {

ActionTable::ActionTable() {
#define INPUTSCOPE_TYPE(name, id, type, channels) setType(id, input::type);
    INPUT_DEFAULT_ACTIONS(INPUTSCOPE_TYPE)
#undef INPUTSCOPE_TYPE
}

void ActionTable::setType(int id, input::ControlType type) {
    if (static_cast<std::size_t>(id) >= types.size())
        types.resize(static_cast<std::size_t>(id) + 1, input::CONTROL_NONE);
    types[static_cast<std::size_t>(id)] = type;
}

void ActionTable::refreshNames(input::InputManager& manager) {
    names.clear();
    for (int id = 0; manager.isActionAssigned(id); ++id)
        names.push_back(manager.getActionName(id).c_str());
}

std::string ActionTable::nameOf(int id) const {
    return static_cast<std::size_t>(id) < names.size() ? names[static_cast<std::size_t>(id)]
                                                       : std::string();
}

input::ControlType ActionTable::typeOf(int id) const {
    return static_cast<std::size_t>(id) < types.size() ? types[static_cast<std::size_t>(id)]
                                                       : input::CONTROL_NONE;
}

void readFrame(input::InputManager& m, input::Keyboard& keyboard, const ActionTable& actions,
               const std::vector<int>& show, bool drainTyped, FrameView& f) {
    f.keyboardAndMouse = m.isUsingKeyboardAndMouse();
    f.currentPad = m.getGamepad()->getID();
    f.selectedPad = m.getSelectedGamepad();
    for (int b = 0; b < 32; ++b)
        if (m.isChannelOn(static_cast<int>(1u << b)))
            f.channels |= 1u << b;
    f.buffering = m.getBufferingMode();

    for (int slot = 0; slot < 4; ++slot) {
        const input::Gamepad* pad = m.getGamepad(slot);
        PadView& view = f.inputs.pads[slot];
        view.connected = pad->isConnected();
        for (int code = 0; code < 16; ++code)
            if (pad->buttonDown(code))
                view.buttons = static_cast<std::uint16_t>(view.buttons | (1u << code));
        view.lt = static_cast<int>(std::lround(pad->getAnalogButton(16) * 255.0));
        view.rt = static_cast<int>(std::lround(pad->getAnalogButton(17) * 255.0));
        for (int a = 0; a < 4; ++a)
            view.axis[a] = static_cast<int>(std::lround(pad->getRawAxis(a) * 32767.0));
    }
    if (const input::InputX86* pc = m.getInputX86()) {
        for (int key = 0; key < input::KEY_COUNT; ++key)
            if (pc->keyDown(static_cast<unsigned short>(key)))
                f.inputs.keys.push_back(key);
        f.inputs.mouseX = pc->getRawMouseDeltaX();
        f.inputs.mouseY = pc->getRawMouseDeltaY();
        f.inputs.wheel = pc->getMouseWheel();
    }
    for (int key = 0; key < 256; ++key)
        if (keyboard.keyDown(key))
            f.inputs.rawKeys.push_back(key);
    if (drainTyped) {
        TypedKey typed;
        while (keyboard.readKeyboardBuffer(typed.key, typed.character, typed.modifiers))
            f.inputs.typed.push_back(typed);
    }

    auto read = [&](int id) {
        ActionRead r;
        r.id = id;
        r.name = actions.nameOf(id);
        r.type = actions.typeOf(id);
        r.digital = m.readDigital(id);
        r.analog = m.readAnalog(id);
        return r;
    };
    if (!show.empty()) {
        for (int id : show)
            f.reads.push_back(read(id));
        return;
    }
    for (int id = 0; static_cast<std::size_t>(id) < actions.names.size(); ++id) {
        if (actions.names[static_cast<std::size_t>(id)].empty())
            continue;
        ActionRead r = read(id);
        if (fired(r))
            f.reads.push_back(r);
    }
}

bool fired(const ActionRead& r) {
    return isAnalogueType(r.type) ? r.analog != 0.0f || std::isnan(r.analog) : r.digital;
}

std::string keyDisplayName(input::InputManager& manager, int key) {
    vel::InplaceWString<128> name;
    manager.getKeycodeName(key, name);
    return toUtf8(name.c_str());
}

} // namespace inputscope
