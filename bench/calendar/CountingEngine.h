#pragma once

#include "platform/db/ForwardingEngine.h"

#include <memory>

namespace estaciones::bench {

// An engine that counts the statements it is given and passes everything on:
// how many round trips a paint costs.
class CountingEngine : public db::ForwardingEngine {
public:
    CountingEngine(std::unique_ptr<db::Engine> inner, long& counter)
        : ForwardingEngine(std::move(inner)), m_counter(counter) {}

    db::ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                                int timeoutSeconds) override {
        ++m_counter;
        return ForwardingEngine::execute(text, parameters, timeoutSeconds);
    }

private:
    long& m_counter;
};

} // namespace estaciones::bench
