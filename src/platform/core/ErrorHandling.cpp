#include "platform/core/ErrorHandling.h"

#include <algorithm>

namespace estaciones {

namespace {
Error currentError() {
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::exception& e) {
        return Error::fromException(e);
    } catch (...) {
        return standardError(errnum::InternalError);
    }
}
} // namespace

std::optional<Error> ignoringErrors(const std::function<void()>& step) noexcept {
    try {
        step();
        return std::nullopt;
    } catch (...) {
        try {
            return currentError();
        } catch (...) {
            return std::nullopt;
        }
    }
}

HandledSteps::HandledSteps(ErrorHandler handler, std::initializer_list<std::int32_t> silent)
    : m_handler(std::move(handler)), m_silent(silent) {}

bool HandledSteps::run(const std::function<void()>& step) {
    m_lastStepFailed = false;
    for (;;) {
        try {
            step();
            return true;
        } catch (...) {
            Error error = currentError();
            m_lastError = error;
            m_lastStepFailed = true;
            if (std::find(m_silent.begin(), m_silent.end(), error.number()) != m_silent.end()) {
                return true;
            }
            const int reply = m_handler ? m_handler(error) : 0;
            if (reply == answer::Retry) {
                continue;
            }
            return reply == answer::Ignore;
        }
    }
}

void guarded(const std::function<void()>& body,
             const std::function<void(const Error&)>& report) noexcept {
    try {
        body();
    } catch (...) {
        try {
            const Error error = currentError();
            if (report) {
                report(error);
            }
        } catch (...) {
            // The report itself failed: there is nobody left to tell.
        }
    }
}

} // namespace estaciones
