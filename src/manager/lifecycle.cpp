#include "input/input_manager.h"

#include "app/event.h"
#include "gamepad/gamepad_state.h"
#include "input/gamepad.h"
#include "input/input_x86.h"
#include "manager/binding_reads.h"
#include "manager/heap_object.h"
#include "manager/locks.h"
#include "manager/reading.h"
#include "pc/input_x86_access.h"

namespace input {

InputManager* InputManager::sm_pInstance = nullptr;

InputManager::InputManager(bool createPCDevice, bool pcInputModeArgument) {
    initializeMembers();
    registerDefaultActions();
    bindDefaultInputs();
    pcInputMode = pcInputModeArgument;
    try {
        for (int slot = 0; slot < 4; ++slot)
            gamepads[slot] = newObject<Gamepad>(slot);
        if (createPCDevice) {
            inputX86 = newObject<InputX86>();
            inputX86->construct();
        }
        currentStepValues.clear();
        previousStepValues.clear();
        gamepadLock = RecursiveLock::create();
        channelLock = RecursiveLock::create();
    } catch (...) {
        // The members destroy themselves; what the pointers own goes back here.
        releaseDevicesAndLocks();
        throw;
    }
    sm_pInstance = this;
}

InputManager::~InputManager() {
    releaseDevicesAndLocks();
    sm_pInstance = nullptr;
    // The containers go in reverse declaration order: padBindings, keyBindings, actionNames,
    // actions, exclusiveActions, then the step buffers.
}

void InputManager::releaseDevicesAndLocks() {
    for (Gamepad*& pad : gamepads) {
        deleteObject(pad);
        pad = nullptr;
    }
    if (inputX86) {
        inputX86->destruct();
        deleteObject(inputX86);
        inputX86 = nullptr;
    }
    RecursiveLock::destroy(gamepadLock);
    RecursiveLock::destroy(channelLock);
    gamepadLock = nullptr;
    channelLock = nullptr;
}

void InputManager::initializeMembers() {
    for (Gamepad*& pad : gamepads)
        pad = nullptr;
    activeGamepadID = -1;
    keyboard = nullptr;
    inputX86 = nullptr;
    usingKeyboardAndMouse = true;
    focus = false;
    pcInputMode = false;
    debugButtons = altDebugButtons = debugButtonsAllowed = false;
    bufferingMode = BUFFERING_LIVE;
    selectedGamepad = -1;
    channelMask = 0;
    debug = debugBlockPolling = uiMessage = game = menu = conversation = false;
    video = console = loading = binding = false;
    freeCameraWithoutPlayerControls = redirectToKeyframer = false;
    playerControlEnabledByScript = playerControlEnabled = true;
    invertVerticalForPad = invertHorizontalForPad = false;
    invertVerticalForMouse = invertHorizontalForMouse = false;
    sticksSwapped = false;
    scriptComponentInput = false;
    exclusiveActions.clear();
    exclusiveChannel = CHANNEL_GAME;
    gamepadLock = nullptr;
    channelLock = nullptr;
}

InputManager* InputManager::getInstance() {
    return sm_pInstance;
}

void InputManager::update(float dt) {
    {
        RecursiveLockGuard guard(gamepadLock);
        for (Gamepad* pad : gamepads)
            pad->update(dt);
        keepTrackOfCurrentController();
    }
    bool keysDown = inputX86 && InputX86Access::update(*inputX86);
    // Only this thread polls the pads, so one copy of the current pad's reports serves the
    // activity check and the value pass: one hold of its lock a frame.
    PadReports reports;
    PadView pad = currentPadView(reports);
    updateActivityCheck(keysDown, pad);
    updateChannels();

    gatherStepValues(pad);
}

void InputManager::gatherStepValues(PadView shared) {
    // Every action gets what its live read gives now: the same gates, then the same walkers over
    // the same bindings. The passes go over the binding tables, each under one hold of its lock,
    // because an action without bindings reads as nothing (but for the keyboard's mouse and key
    // pair axes, visited apart); the current pad's reports are copied once under its lock.
    // Digital actions leave 1.0 when on, analogue ones their latest non-zero value; nothing here
    // writes 0.0, so each step starts from the zeros that growing the buffer puts in.
    currentStepValues.resize(actions.size(), 0.0f);
    std::uint32_t mask = channelMask.load();
    if (mask == 0)
        return; // nothing is live
    float* values = currentStepValues.data();
    std::uint32_t count = actions.size();
    bool exclusive = !exclusiveActions.empty();
    // The entry of a live action, or null (unregistered ids and gaps are never live).
    auto liveEntry = [&](std::int32_t action) -> const ActionEntry* {
        std::uint32_t id = static_cast<std::uint32_t>(action);
        if (id >= count)
            return nullptr;
        const ActionEntry& entry = actions[id];
        if (entry.controlType == CONTROL_NONE || (entry.channelMask & mask) == 0 ||
            (exclusive && isActionBlocked(action)))
            return nullptr;
        return &entry;
    };
    auto store = [&](std::int32_t action, float value) {
        if (!(value == 0.0f)) // a NaN differs from 0.0
            values[action] = value;
    };
    KeyView keys{inputX86, keyboard};

    if (!usingKeyboardAndMouse) {
        // A copy of its own, which the stores to the buffer cannot alias: the walk then keeps
        // the reports in registers.
        PadReports reports;
        PadView pad{shared.connected, &reports};
        if (shared.connected)
            reports = *shared.reports;
        Inversion inversion{invertVerticalForPad, invertHorizontalForPad};
        {
            SpinLockGuard guard(padBindingsLock);
            forEachBoundAction(padBindings, [&](std::int32_t action, BindingTable::Span span) {
                const ActionEntry* entry = liveEntry(action);
                if (!entry)
                    return;
                ControlType type = entry->controlType;
                if (isBufferedAsAnalogue(type)) {
                    float value = padValue<false>(span, type, pad);
                    store(action, isInverted(action, inversion, false) ? -value : value);
                } else if (type < CONTROL_RAW_KEY_DOWN && padDigital(span, type, pad)) {
                    values[action] = 1.0f;
                }
            });
        }
        // The raw key types read the raw keyboard whichever device is in use; without one they
        // never count.
        if (!keyboard)
            return;
        SpinLockGuard guard(keyBindingsLock);
        forEachBoundAction(keyBindings, [&](std::int32_t action, BindingTable::Span span) {
            const ActionEntry* entry = liveEntry(action);
            if (entry && entry->controlType >= CONTROL_RAW_KEY_DOWN &&
                keyDigital(span, entry->controlType, keys))
                values[action] = 1.0f;
        });
        return;
    }

    Inversion inversion{invertVerticalForMouse, invertHorizontalForMouse};
    SpinLockGuard guard(keyBindingsLock);
    forEachBoundAction(keyBindings, [&](std::int32_t action, BindingTable::Span span) {
        const ActionEntry* entry = liveEntry(action);
        if (!entry)
            return;
        ControlType type = entry->controlType;
        if (!isBufferedAsAnalogue(type)) {
            if (keyDigital(span, type, keys))
                values[action] = 1.0f;
        } else if (!hasOwnKeyboardSource(action)) {
            store(action, keyDigital(span, CONTROL_DOWN, keys) ? 1.0f : 0.0f);
        }
    });
    // The axes with a source of their own, from their rows: the mouse, or another action's keys
    // (never inverted).
    auto analogue = [&](int action) {
        const ActionEntry* entry = liveEntry(action);
        return entry && isBufferedAsAnalogue(entry->controlType);
    };
    for (const LookAxis& look : kLookAxes) {
        if (analogue(look.action)) {
            float value = lookValue(look, keys);
            store(look.action, isLookInverted(look, inversion, false) ? -value : value);
        }
    }
    for (const KeyPairAxis& pair : kKeyPairAxes) {
        if (analogue(pair.action))
            store(pair.action, keyPairValue(keyBindings, pair, keys));
    }
}

PadView InputManager::currentPadView(PadReports& copy) {
    const GamepadState& pad = GamepadAccess::state(*getGamepad()); // gamepadLock, released
    if (!pad.connected)
        return PadView{false, nullptr};
    RecursiveLockGuard guard(pad.lock);
    copy = pad.reports;
    return PadView{true, &copy};
}

void InputManager::reset() {
    for (Gamepad* pad : gamepads)
        pad->reset();
}

void InputManager::setBufferingMode(BufferingMode mode) {
    bufferingMode = mode;
}

BufferingMode InputManager::getBufferingMode() const {
    return bufferingMode;
}

void InputManager::switchWorldStepBuffers() {
    previousStepValues = currentStepValues;
    currentStepValues.clear();
    bufferingMode = BUFFERING_LIVE;
}

void InputManager::resetStepBuffers() {
    currentStepValues.clear();
    previousStepValues.clear();
}

bool InputManager::dispatchAppEvent(app::Event* event) {
    return inputX86 ? inputX86->dispatchAppEvent(event) : false;
}

InputX86* InputManager::getInputX86() {
    return inputX86;
}

Gamepad* InputManager::getSecondaryGamepad() {
    return gamepads[1];
}

Keyboard* InputManager::getKeyboard() {
    return keyboard;
}

void InputManager::setKeyboard(Keyboard* rawKeyboard) {
    keyboard = rawKeyboard;
}

void InputManager::setFocus(bool on) {
    focus = on;
}

} // namespace input
