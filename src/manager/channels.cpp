#include "input/input_manager.h"
#include "input/input_x86.h"
#include "manager/locks.h"

namespace input {

void InputManager::updateChannels() {
    RecursiveLockGuard guard(channelLock);
    std::uint32_t mask = 0;
    // Without focus in PC input mode, and on the key-binding screen, nothing is live.
    if (!(pcInputMode && !focus) && !binding) {
        if (game)
            mask = CHANNEL_GAME;
        // The first mode set replaces the mask; only a conversation keeps the game bit.
        if (console)
            mask = CHANNEL_CONSOLE;
        else if (debugBlockPolling)
            mask = CHANNEL_DEBUG_BLOCK_POLLING;
        else if (debug)
            mask = CHANNEL_DEBUG;
        else if (uiMessage)
            mask = CHANNEL_UI_MESSAGE;
        else if (loading)
            mask = menu ? (CHANNEL_LOADING | CHANNEL_MENU) : CHANNEL_LOADING;
        else if (menu)
            mask = CHANNEL_MENU;
        else if (conversation)
            mask = CHANNEL_MENU | CHANNEL_GAME;

        // At most one of free camera, keyframer and player; free camera also works on its own.
        if ((mask & CHANNEL_GAME) || mask == 0) {
            if (freeCameraWithoutPlayerControls)
                mask |= CHANNEL_FREE_CAMERA;
            else if (mask & CHANNEL_GAME) {
                if (redirectToKeyframer)
                    mask |= CHANNEL_KEYFRAMER;
                else if (playerControlEnabledByScript && playerControlEnabled)
                    mask |= CHANNEL_PLAYER;
            }
        }
        if (video)
            mask |= CHANNEL_VIDEO;
    }
    channelMask = mask;
}

bool InputManager::isChannelOn(int channels) {
    RecursiveLockGuard guard(channelLock);
    return (channelMask & static_cast<std::uint32_t>(channels)) != 0;
}

bool InputManager::channelMatch(int action, int channels) const {
    std::uint32_t index = static_cast<std::uint32_t>(action);
    return index < actions.size() &&
           (actions[index].channelMask & static_cast<std::uint32_t>(channels)) != 0;
}

bool InputManager::channelMatch(int action) const {
    return channelMatch(action, static_cast<int>(channelMask.load()));
}

bool InputManager::isLive(int action) const {
    return channelMatch(action) && !isActionBlocked(action);
}

bool InputManager::isActionBlocked(int action) const {
    std::uint32_t index = static_cast<std::uint32_t>(action);
    if (exclusiveActions.empty() || index >= actions.size() ||
        (static_cast<std::uint32_t>(exclusiveChannel) & actions[index].channelMask) == 0)
        return false;
    for (int allowed : exclusiveActions) {
        if (allowed == action)
            return false;
    }
    return true;
}

void InputManager::setExclusiveActions(vel::Vector<int, vel::Allocator<int, 0>>& ids,
                                       Channel channels) {
    exclusiveActions = ids;
    exclusiveChannel = static_cast<std::int32_t>(channels);
}

void InputManager::clearExclusiveActions() {
    exclusiveActions.clear();
    exclusiveChannel = CHANNEL_GAME;
}

bool InputManager::isGameOn() const {
    return game;
}
void InputManager::setGame(bool on) {
    game = on;
}
bool InputManager::isMenuOn() const {
    return menu;
}
void InputManager::setMenu(bool on) {
    menu = on;
}
bool InputManager::isVideoOn() const {
    return video;
}
void InputManager::setVideo(bool on) {
    video = on;
}
bool InputManager::isConversationOn() const {
    return conversation;
}
void InputManager::setConversation(bool on) {
    conversation = on;
}
bool InputManager::isLoadingOn() const {
    return loading;
}
void InputManager::setLoading(bool on) {
    loading = on;
}
bool InputManager::isBindingOn() const {
    return binding;
}
void InputManager::setBinding(bool on) {
    binding = on;
}
bool InputManager::isUIMessageOn() const {
    return uiMessage;
}
void InputManager::setUIMessage(bool on) {
    uiMessage = on;
}
bool InputManager::isFreeCameraWithoutPlayerControlsOn() const {
    return freeCameraWithoutPlayerControls;
}
void InputManager::setFreeCameraWithoutPlayerControls(bool on) {
    freeCameraWithoutPlayerControls = on;
}
bool InputManager::isRedirectToKeyframerOn() const {
    return redirectToKeyframer;
}
void InputManager::setRedirectToKeyframer(bool on) {
    redirectToKeyframer = on;
}
bool InputManager::isDebugOn() const {
    return debug;
}

void InputManager::setDebug(bool on) {
    if (debug && !on)
        debugButtons = false;
    debug = on;
}

bool InputManager::isConsoleOn() const {
    return console;
}

void InputManager::setConsole(bool on) {
    if (console && !on)
        debugButtons = false;
    console = on;
}

void InputManager::setDebugBlockPolling(bool on) {
    debugBlockPolling = on;
}
void InputManager::setDebugButtons(bool on) {
    debugButtons = on;
}
bool InputManager::isAltDebugButtons() const {
    return altDebugButtons;
}

bool InputManager::isDebugButtonsOn() const {
    return debugButtonsAllowed && (!pcInputMode || debugButtons || debug || console) && !binding;
}

bool InputManager::isDebugBlockPolling() const {
    return debugBlockPolling || !isDebugButtonsOn();
}

void InputManager::setPlayerControlEnabled(bool enabled, bool byScript) {
    if (byScript)
        playerControlEnabledByScript = enabled;
    else
        playerControlEnabled = enabled;
}

bool InputManager::isPlayerControlEnabled() const {
    return playerControlEnabled && playerControlEnabledByScript;
}

bool InputManager::isPlayerControlEnabledByScript() const {
    return playerControlEnabledByScript;
}
bool InputManager::isScriptComponentInputEnabled() const {
    return scriptComponentInput;
}
void InputManager::setScriptComponentInput(bool on) {
    scriptComponentInput = on;
}

bool InputManager::isInvertVerticalOn() const {
    return usingKeyboardAndMouse ? invertVerticalForMouse : invertVerticalForPad;
}

bool InputManager::isInvertHorizontalOn() const {
    return usingKeyboardAndMouse ? invertHorizontalForMouse : invertHorizontalForPad;
}

void InputManager::setInvertVertical(bool on) {
    if (usingKeyboardAndMouse)
        invertVerticalForMouse = on;
    else
        invertVerticalForPad = on;
}

void InputManager::setInvertHorizontal(bool on) {
    if (usingKeyboardAndMouse)
        invertHorizontalForMouse = on;
    else
        invertHorizontalForPad = on;
}

void InputManager::setInvertVerticalForMouse(bool on) {
    invertVerticalForMouse = on;
}
void InputManager::setInvertHorizontalForMouse(bool on) {
    invertHorizontalForMouse = on;
}
void InputManager::setInvertVerticalForPad(bool on) {
    invertVerticalForPad = on;
}
void InputManager::setInvertHorizontalForPad(bool on) {
    invertHorizontalForPad = on;
}
bool InputManager::getInvertVerticalForMouse() const {
    return invertVerticalForMouse;
}
bool InputManager::getInvertHorizontalForMouse() const {
    return invertHorizontalForMouse;
}
bool InputManager::getInvertVerticalForPad() const {
    return invertVerticalForPad;
}
bool InputManager::getInvertHorizontalForPad() const {
    return invertHorizontalForPad;
}
void InputManager::setSticksSwapped(bool swapped) {
    sticksSwapped = swapped;
}
bool InputManager::isSticksSwapped() const {
    return sticksSwapped;
}

void InputManager::setMouseSensitivity(float sensitivity) {
    if (inputX86)
        inputX86->setMouseSensitivity(sensitivity);
}

} // namespace input
