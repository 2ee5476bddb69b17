// The manager keeps `debugButtonsAllowed` private and offers no setter: nothing in a game may allow
// debug buttons. Tests still need the allowed side of the predicates, so the control layer reaches
// the field from outside the library, leaving the exported class as it is. An explicit
// instantiation may name a private member (access is not checked there); the friend function it
// defines hands that member's pointer out.

#include "input/input_manager.h"
#include "standin/control.h"

namespace {

struct DebugButtonsAllowed {
    using Member = bool input::InputManager::*;
    friend Member member(DebugButtonsAllowed);
};

template <class Tag, typename Tag::Member Pointer> struct Expose {
    friend typename Tag::Member member(Tag) { return Pointer; }
};

template struct Expose<DebugButtonsAllowed, &input::InputManager::debugButtonsAllowed>;

} // namespace

namespace sim {

void setDebugButtonsAllowed(input::InputManager& manager, bool allowed) {
    manager.*member(DebugButtonsAllowed()) = allowed;
}

} // namespace sim
