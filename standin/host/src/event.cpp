#include "app/events.h"

namespace app {

EventHandler::EventHandler() = default;
EventHandler::EventHandler(const EventHandler&) = default;
EventHandler& EventHandler::operator=(const EventHandler&) = default;
EventHandler::~EventHandler() = default;

bool EventHandler::dispatchAppEvent(Event* event) {
    if (!event)
        return false;
    switch (event->type) {
#define APP_EVENT_ROUTE(Name, NAME)                                                                \
    case EVENT_##NAME: return handleAppEvent(static_cast<Name##Event*>(event));
        APP_EVENT_TYPES(APP_EVENT_ROUTE)
#undef APP_EVENT_ROUTE
    default: return false;
    }
}

#define APP_EVENT_DEFAULT(Name, NAME)                                                              \
    bool EventHandler::handleAppEvent(Name##Event*) {                                              \
        return false;                                                                              \
    }
APP_EVENT_TYPES(APP_EVENT_DEFAULT)
#undef APP_EVENT_DEFAULT

} // namespace app
