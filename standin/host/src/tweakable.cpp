#include "d/tweakable.h"

#include <atomic>
#include <cstring>

namespace d {

// An intrusive list, so that settings registered during static initialisation of other modules
// need nothing constructed here first.
struct Registry {
    static std::atomic_flag busy;
    static BaseTweakable* head;

    struct Guard {
        Guard() {
            while (busy.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Guard() { busy.clear(std::memory_order_release); }
    };

    static void add(BaseTweakable* t) {
        Guard guard;
        t->m_next = head;
        head = t;
    }
    static void remove(BaseTweakable* t) {
        Guard guard;
        for (BaseTweakable** link = &head; *link; link = &(*link)->m_next) {
            if (*link == t) {
                *link = t->m_next;
                return;
            }
        }
    }
    static BaseTweakable* find(const char* name) {
        Guard guard;
        for (BaseTweakable* t = head; t; t = t->m_next) {
            if (std::strcmp(t->getName(), name) == 0)
                return t;
        }
        return nullptr;
    }
    template <class F> static void forEach(F f) {
        Guard guard;
        for (BaseTweakable* t = head; t; t = t->m_next)
            f(t);
    }
};

std::atomic_flag Registry::busy = ATOMIC_FLAG_INIT;
BaseTweakable* Registry::head = nullptr;

BaseTweakable::BaseTweakable(const char* name, Type type)
    : m_name(name), m_type(type), m_next(nullptr) {
    Registry::add(this);
}

BaseTweakable::~BaseTweakable() {
    Registry::remove(this);
}

BaseTweakable* findTweakable(const char* name) {
    return Registry::find(name);
}

bool setTweakable(const char* name, bool value) {
    BaseTweakable* t = Registry::find(name);
    if (!t || t->getType() != BaseTweakable::TYPE_BOOL)
        return false;
    static_cast<Tweakable<bool, 0>*>(t)->set(value);
    return true;
}

bool setTweakable(const char* name, float value) {
    BaseTweakable* t = Registry::find(name);
    if (!t || t->getType() != BaseTweakable::TYPE_FLOAT)
        return false;
    static_cast<Tweakable<float, 0>*>(t)->set(value);
    return true;
}

void resetTweakables() {
    Registry::forEach([](BaseTweakable* t) {
        if (t->getType() == BaseTweakable::TYPE_BOOL) {
            auto* b = static_cast<Tweakable<bool, 0>*>(t);
            b->set(b->getDefault());
        } else if (t->getType() == BaseTweakable::TYPE_FLOAT) {
            auto* f = static_cast<Tweakable<float, 0>*>(t);
            f->set(f->getDefault());
        }
    });
}

} // namespace d
