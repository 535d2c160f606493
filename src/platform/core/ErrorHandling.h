#pragma once

#include "platform/core/Error.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace estaciones {

// The original's two handler styles, one helper each.

// Style (a): the step runs with errors ignored. Returns the error it swallowed,
// if any, so the few callers that look at Err.Number afterwards can.
std::optional<Error> ignoringErrors(const std::function<void()>& step) noexcept;

// The answers of an error dialog, as the original numbers them.
namespace answer {
constexpr int Retry = 4;  // run the failed step again
constexpr int Ignore = 5; // go on with the next step
} // namespace answer

// Given the error and answering 4 (retry), 5 (go on) or anything else (leave).
using ErrorHandler = std::function<int(const Error&)>;

// Style (b): each step runs under a handler. An error whose number is in
// `silent` is passed over (go on with the next step); any other goes to the
// handler and its answer is followed. Use:
//
//     HandledSteps steps(handler, {errnum::ObjectClosed});
//     if (!steps.run([&] { ... })) return;   // false: the routine is left
//     if (!steps.run([&] { ... })) return;
class HandledSteps {
public:
    explicit HandledSteps(ErrorHandler handler, std::initializer_list<std::int32_t> silent = {});

    // true: the step completed, or failed and the answer was "go on";
    // false: the answer was to leave the routine.
    bool run(const std::function<void()>& step);

    // The last error that reached the handler or was passed over.
    const std::optional<Error>& lastError() const { return m_lastError; }
    bool failed() const { return m_lastError.has_value(); }
    // Whether the last run() ended in a failure that was ignored.
    bool lastStepFailed() const { return m_lastStepFailed; }

private:
    ErrorHandler m_handler;
    std::vector<std::int32_t> m_silent;
    std::optional<Error> m_lastError;
    bool m_lastStepFailed = false;
};

// Runs `body`; any exception it throws becomes an Error given to `report`.
// The guard of every event handler: nothing escapes into the event loop.
void guarded(const std::function<void()>& body,
             const std::function<void(const Error&)>& report) noexcept;

} // namespace estaciones
