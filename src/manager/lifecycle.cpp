#include "input/input_manager.h"

#include "app/event.h"
#include "input/gamepad.h"
#include "input/input_x86.h"
#include "manager/heap_object.h"
#include "manager/locks.h"
#include "manager/reading.h"

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
    if (inputX86)
        inputX86->update();
    updateActivityCheck();
    updateChannels();

    // Value pass: every id, gaps included. Digital actions leave 1.0 when on, analogue ones
    // their latest non-zero value; nothing here writes 0.0, so each step starts from the zeros
    // that growing the buffer puts in.
    currentStepValues.resize(actions.size(), 0.0f);
    for (std::uint32_t id = 0; id < actions.size(); ++id) {
        int action = static_cast<int>(id);
        if (isBufferedAsAnalogue(actions[id].controlType)) {
            float value = readAnalogInternal(action);
            if (!(value == 0.0f)) // a NaN differs from 0.0
                currentStepValues[id] = value;
        } else if (readDigitalInternal(action)) {
            currentStepValues[id] = 1.0f;
        }
    }
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
