// What the layer reads: the device snapshot taken once a step, and the value of one source.
#include <cmath>

#include "contexts/state.h"
#include "gamepad/gamepad_state.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/reading.h"
#include "pc/input_x86_access.h"
#include "rebinding/rebinding_access.h"

namespace input {

namespace {

int padBlock(const Source& source) {
    return source.pad == kSelectedPad ? atom::kSelected : source.pad;
}

int padAtom(const Source& source, int input) {
    return atom::kPads + padBlock(source) * atom::kPadInputs + input;
}

// Pad codes 20-23 are inputs 18-21 of a pad block.
int axisInput(int code) {
    return 18 + code - GAMEPAD_LEFT_STICK_X;
}

float keyValue(const DeviceSnapshot& d, int code) {
    return d.pc && InputX86Access::keyDown(*d.pc, static_cast<unsigned short>(code)) ? 1.0f : 0.0f;
}

float padButtonValue(const _tov_XINPUT_GAMEPAD& report, int code) {
    if (code == GAMEPAD_LEFT_TRIGGER)
        return report.bLeftTrigger / 255.0f;
    if (code == GAMEPAD_RIGHT_TRIGGER)
        return report.bRightTrigger / 255.0f;
    return (report.wButtons >> code) & 1u ? 1.0f : 0.0f;
}

float padAxisValue(const _tov_XINPUT_GAMEPAD& report, int axis) {
    std::int16_t raw = axis == 0   ? report.sThumbLX
                       : axis == 1 ? report.sThumbLY
                       : axis == 2 ? report.sThumbRX
                                   : report.sThumbRY;
    float v = raw / 32767.0f;
    return v < -1.0f ? -1.0f : v;
}

bool validKey(int code) {
    return code >= 0 && code < KEY_COUNT;
}

} // namespace

bool usesPad(const Source& source) {
    return source.kind == SOURCE_PAD_BUTTON || source.kind == SOURCE_PAD_AXIS ||
           source.kind == SOURCE_PAD_STICK;
}

int sourceAtoms(const Source& source, std::int32_t atoms[4]) {
    const std::int32_t* c = source.codes;
    switch (source.kind) {
    case SOURCE_KEY: atoms[0] = c[0]; return 1;
    case SOURCE_MOUSE_MOTION:
        if (c[0] == 2) {
            atoms[0] = atom::kMouse;
            atoms[1] = atom::kMouse + 1;
            return 2;
        }
        atoms[0] = atom::kMouse + c[0];
        return 1;
    case SOURCE_PAD_BUTTON: atoms[0] = padAtom(source, c[0]); return 1;
    case SOURCE_PAD_AXIS: atoms[0] = padAtom(source, axisInput(c[0])); return 1;
    case SOURCE_PAD_STICK:
        atoms[0] = padAtom(source, 18 + 2 * c[0]);
        atoms[1] = atoms[0] + 1;
        return 2;
    case SOURCE_KEY_AXIS:
        atoms[0] = c[0];
        atoms[1] = c[1];
        return 2;
    case SOURCE_KEY_AXIS_2D:
        for (int i = 0; i < 4; ++i)
            atoms[i] = c[i];
        return 4;
    case SOURCE_ACTION: atoms[0] = atom::kActions + c[0]; return 1;
    default: return 0;
    }
}

bool checkSource(InputManager& manager, const Source& source, ContextError* error) {
    const std::int32_t* c = source.codes;
    if (usesPad(source) && (source.pad < kSelectedPad || source.pad > 3)) {
        fail(error, "pad %d is not a slot 0-3 or the selected pad (-1)", source.pad);
        return false;
    }
    switch (source.kind) {
    case SOURCE_KEY:
        if (validKey(c[0]))
            return true;
        fail(error, "unknown key code %d (0-257)", c[0]);
        return false;
    case SOURCE_MOUSE_MOTION:
        if (c[0] >= 0 && c[0] <= 2)
            return true;
        fail(error, "unknown mouse axis %d (0 x, 1 y, 2 both)", c[0]);
        return false;
    case SOURCE_PAD_BUTTON:
        if (c[0] >= 0 && c[0] <= GAMEPAD_RIGHT_TRIGGER && c[0] != 10 && c[0] != 11)
            return true;
        fail(error, "unknown pad button code %d (0-9, 12-17)", c[0]);
        return false;
    case SOURCE_PAD_AXIS:
        if (c[0] >= GAMEPAD_LEFT_STICK_X && c[0] <= GAMEPAD_RIGHT_STICK_Y)
            return true;
        fail(error, "unknown pad axis code %d (20-23)", c[0]);
        return false;
    case SOURCE_PAD_STICK:
        if (c[0] == 0 || c[0] == 1)
            return true;
        fail(error, "unknown stick %d (0 left, 1 right)", c[0]);
        return false;
    case SOURCE_KEY_AXIS:
    case SOURCE_KEY_AXIS_2D:
        for (int i = 0; i < (source.kind == SOURCE_KEY_AXIS ? 2 : 4); ++i) {
            if (!validKey(c[i])) {
                fail(error, "unknown key code %d (0-257) in a key axis", c[i]);
                return false;
            }
        }
        return true;
    case SOURCE_ACTION:
        if (c[0] >= 0 && manager.isActionAssigned(c[0]) && !manager.getActionName(c[0]).empty())
            return true;
        fail(error, "manager action %d is not registered", c[0]);
        return false;
    default: fail(error, "unknown source kind %d", static_cast<int>(source.kind)); return false;
    }
}

Combine combineOf(const Source& source) {
    if (source.kind == SOURCE_KEY_AXIS)
        return COMBINE_KEY_AXIS;
    return source.kind == SOURCE_KEY_AXIS_2D ? COMBINE_KEYS_2D : COMBINE_PLAIN;
}

void takeSnapshot(InputContexts::State& s) {
    InputManager& manager = *s.manager;
    DeviceSnapshot& d = s.devices;
    d.pc = manager.getInputX86();
    d.mouse[0] = d.pc ? d.pc->getMouseDeltaX() : 0.0f;
    d.mouse[1] = d.pc ? d.pc->getMouseDeltaY() : 0.0f;
    d.usingKeyboardAndMouse = manager.isUsingKeyboardAndMouse();
    d.invertPad[0] = manager.getInvertHorizontalForPad();
    d.invertPad[1] = manager.getInvertVerticalForPad();
    d.invertMouse[0] = manager.getInvertHorizontalForMouse();
    d.invertMouse[1] = manager.getInvertVerticalForMouse();
    if (s.padsUsed != 0) {
        // The selected pad is the one getGamepad answers, slot 0 when none is selected.
        d.selectedSlot = manager.getGamepad()->getID();
        for (int block = 0; block < 5; ++block) {
            if (!(s.padsUsed & (1u << block)))
                continue;
            int slot = block == atom::kSelected ? d.selectedSlot : block;
            const GamepadState& pad = GamepadAccess::state(*manager.getGamepad(slot));
            d.connected[block] = pad.connected;
            if (!d.connected[block]) {
                d.pads[block] = _tov_XINPUT_GAMEPAD{};
                continue;
            }
            // Only the owning thread writes the reports (in update), and this is that thread: a
            // read needs no lock.
            d.pads[block] = pad.reports.current;
        }
    }

    float* values = s.atomValues.data();
    for (std::int32_t a : s.usedAtoms) {
        if (a < atom::kMouse) // most atoms are keys
            values[a] = keyValue(d, a);
        else
            refreshAtom(s, a);
    }
}

void refreshAtom(InputContexts::State& s, std::int32_t a) {
    const DeviceSnapshot& d = s.devices;
    float v;
    if (a < atom::kMouse) {
        v = keyValue(d, a);
    } else if (a < atom::kPads) {
        v = d.mouse[a - atom::kMouse];
    } else if (a < atom::kActions) {
        int block = (a - atom::kPads) / atom::kPadInputs;
        int input = (a - atom::kPads) % atom::kPadInputs;
        v = input < 18 ? padButtonValue(d.pads[block], input)
                       : padAxisValue(d.pads[block], input - 18);
    } else {
        // As the game would read the manager's action: its analogue types as a float.
        InputManager& manager = *s.manager;
        const auto& managerActions = RebindingAccess::actions(manager);
        int id = a - atom::kActions;
        bool analogue = static_cast<std::uint32_t>(id) < managerActions.size() &&
                        isBufferedAsAnalogue(managerActions[id].controlType);
        v = analogue ? manager.readAnalog(id) : (manager.readDigital(id) ? 1.0f : 0.0f);
    }
    s.atomValues[a] = v;
}

bool readSource(const InputContexts::State& s, const MappingRec& m, std::uint8_t claimed,
                float v[2]) {
    std::int32_t slots[4];
    std::int32_t zero = static_cast<std::int32_t>(s.atomValues.size()) - 1;
    for (int i = 0; i < 4; ++i)
        slots[i] = i < m.atomCount && !(claimed & (1u << i)) ? m.atoms[i] : zero;
    combineSlots(s.atomValues.data(), slots, m.combine, v);
    const Source& source = m.def.source;
    return !usesPad(source) || s.devices.connected[padBlock(source)];
}

} // namespace input
