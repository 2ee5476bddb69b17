#pragma once

#include <memory>
#include <string>

#include "support/fixture.h"

namespace testing_support {

// A manager with the contexts layer over it, and frames that step both.
class ContextsTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        layer = std::make_unique<input::InputContexts>(*manager);
    }
    void TearDown() override {
        layer.reset();
        ManagerTest::TearDown();
    }

    void step(float dt = 0.125f) {
        frame(dt);
        layer->step(dt);
    }
    int action(const char* name, input::ValueType type = input::VALUE_DIGITAL) {
        input::ContextError error;
        int id = layer->defineAction(name, type, &error);
        EXPECT_GE(id, 0) << error.message;
        return id;
    }
    int context(const char* name, int priority = 0, std::uint32_t channels = 0) {
        input::ContextError error;
        int id = layer->defineContext(name, priority, channels, &error);
        EXPECT_GE(id, 0) << error.message;
        return id;
    }
    int map(int context, input::Mapping mapping) {
        input::ContextError error;
        int index = layer->addMapping(context, mapping, &error);
        EXPECT_GE(index, 0) << error.message;
        return index;
    }
    static input::Mapping mapping(int action, const input::Source& source) {
        input::Mapping m;
        m.action = action;
        m.source = source;
        return m;
    }
    // This frame's events as letters: Started, Ongoing, Triggered, Completed, cAnceled.
    std::string events(int action) const { return letters(layer->events(action)); }
    static std::string letters(std::uint32_t bits) {
        std::string out;
        const char* names = "SOTCA";
        for (int i = 0; i < 5; ++i) {
            if (bits & (1u << i))
                out += names[i];
        }
        return out.empty() ? "-" : out;
    }

    std::unique_ptr<input::InputContexts> layer;
};

} // namespace testing_support
