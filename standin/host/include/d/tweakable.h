#pragma once

#include "host/api.h"

namespace d {

// A named setting published to the host's registry for its lifetime.
class HOST_API BaseTweakable {
public:
    enum Type { TYPE_BOOL = 0, TYPE_INT = 1, TYPE_FLOAT = 2 };

    BaseTweakable(const char* name, Type type);
    virtual ~BaseTweakable();
    virtual bool isDefault() const = 0;

    const char* getName() const { return m_name; }
    Type getType() const { return m_type; }

    BaseTweakable(const BaseTweakable&) = delete;
    BaseTweakable& operator=(const BaseTweakable&) = delete;

private:
    friend struct Registry;
    const char* m_name;
    Type m_type;
    BaseTweakable* m_next;
};

template <class T, int Flags> class Tweakable;

template <int Flags> class Tweakable<bool, Flags> : public BaseTweakable {
public:
    Tweakable(const char* name, bool value)
        : BaseTweakable(name, TYPE_BOOL), m_value(value), m_default(value) {}
    bool get() const { return m_value; }
    operator bool() const { return m_value; }
    void set(bool value) { m_value = value; }
    bool getDefault() const { return m_default; }
    bool isDefault() const override { return m_value == m_default; }

private:
    bool m_value;
    bool m_default;
};

template <int Flags> class Tweakable<float, Flags> : public BaseTweakable {
public:
    Tweakable(const char* name, float value)
        : BaseTweakable(name, TYPE_FLOAT), m_value(value), m_min(0.0f), m_max(1.0f),
          m_default(value) {}
    float get() const { return m_value; }
    operator float() const { return m_value; }
    void set(float value) { m_value = value; }
    float getDefault() const { return m_default; }
    // An unordered compare (NaN) is not equal.
    bool isDefault() const override { return m_value == m_default; }

private:
    float m_value;
    float m_min; // display range, unused by the engine's modules
    float m_max;
    float m_default;
};

// The registry: the setting registered under `name`, or null.
HOST_API BaseTweakable* findTweakable(const char* name);
// Sets a Tweakable<bool,0> / Tweakable<float,0> by name; false when there is no such setting of
// that type.
HOST_API bool setTweakable(const char* name, bool value);
HOST_API bool setTweakable(const char* name, float value);
// Puts every registered Tweakable<bool,0> and Tweakable<float,0> back to its default.
HOST_API void resetTweakables();

} // namespace d
