// The contexts layer in a run: its definitions, push and pop, and what its mapping actions read
// after each frame's step.

#include "host.h"
#include "standin/control.h"

namespace inputscope {
namespace hosting {

void define(input::InputManager& manager, input::InputContexts& contexts, const Session& session,
            const Statement& s) {
    input::ContextError error;
    bool ok = true;
    switch (s.op) {
    case Op::Action:
        // A mapping may read a manager action, so registrations count here too.
        manager.registerAction(s.action, vel::InplaceString<32>(s.text.c_str()), s.type,
                               static_cast<int>(s.channels));
        break;
    case Op::MappingAction:
        ok = contexts.defineAction(s.text.c_str(), s.valueType, &error) >= 0;
        break;
    case Op::Context:
        ok = contexts.defineContext(s.text.c_str(), s.priority, s.channels, &error) >= 0;
        break;
    case Op::Map:
        ok = contexts.addMapping(s.context, session.mappings[static_cast<std::size_t>(s.mapping)],
                                 &error) >= 0;
        break;
    default: break;
    }
    if (!ok)
        throw SessionError(session.file, s.line, s.column, error.message);
}

void Host::contexts(const Statement& s) {
    switch (s.op) {
    case Op::MappingAction:
        define(*m_manager, *m_contexts, m_session, s);
        m_mappingNames.push_back(s.text);
        m_mappingTypes.push_back(s.valueType);
        break;
    case Op::Context:
    case Op::Map: define(*m_manager, *m_contexts, m_session, s); break;
    case Op::Push:
    case Op::Pop: {
        bool pushed = m_contexts->isPushed(s.context);
        if (s.op == Op::Push)
            m_contexts->push(s.context);
        else
            m_contexts->pop(s.context);
        add(EntryKind::Binding, s.line,
            "context " + s.text +
                (s.op == Op::Push ? (pushed ? " pushed again (kept as it was)" : " pushed")
                                  : (pushed ? " popped" : " popped (was not pushed)")));
        break;
    }
    default: break;
    }
}

void Host::readMappings(FrameView& f) const {
    if (!m_contexts)
        return;
    for (std::size_t id = 0; id < m_mappingNames.size(); ++id) {
        int a = static_cast<int>(id);
        MappingRead r;
        r.id = a;
        r.name = m_mappingNames[id];
        r.type = m_mappingTypes[id];
        r.state = m_contexts->state(a);
        r.events = m_contexts->events(a);
        if (r.type == input::VALUE_AXIS_2D) {
            input::Value2 v = m_contexts->value2(a);
            r.x = v.x;
            r.y = v.y;
        } else {
            r.x = m_contexts->value(a);
        }
        r.hold = m_contexts->holdProgress(a);
        f.mappings.push_back(r);
    }
}

} // namespace hosting

void checkContexts(const Session& session) {
    if (!session.contexts)
        return;
    sim::reset();
    struct Reset {
        ~Reset() { sim::reset(); }
    } reset; // the stand-in as it was, refused or not
    input::InputManager manager(true, true);
    input::InputContexts contexts(manager);
    for (const Statement& s : session.statements)
        hosting::define(manager, contexts, session, s);
}

} // namespace inputscope
