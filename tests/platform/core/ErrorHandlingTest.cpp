#include "platform/core/ErrorHandling.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace estaciones;

namespace {
// A step that fails `failures` times with `number`, then succeeds.
struct FlakyStep {
    int failures;
    std::int32_t number;
    int runs = 0;
    void operator()() {
        ++runs;
        if (runs <= failures) {
            throw Error(number, QStringLiteral("falla"));
        }
    }
};
} // namespace

TEST(HandledSteps, retryRunsTheStepAgainUntilItSucceeds) {
    std::vector<int> answers{answer::Retry, answer::Retry};
    int asked = 0;
    HandledSteps steps([&](const Error&) { return answers[asked++]; });
    FlakyStep step{2, 1234};
    EXPECT_TRUE(steps.run(std::ref(step)));
    EXPECT_EQ(step.runs, 3);
    EXPECT_EQ(asked, 2);
}

TEST(HandledSteps, ignoreGoesOnAndAnyOtherAnswerLeaves) {
    HandledSteps ignoring([](const Error&) { return answer::Ignore; });
    FlakyStep first{5, 1};
    EXPECT_TRUE(ignoring.run(std::ref(first)));
    EXPECT_EQ(first.runs, 1);
    EXPECT_TRUE(ignoring.lastStepFailed());

    HandledSteps leaving([](const Error&) { return 3; });
    FlakyStep second{5, 1};
    EXPECT_FALSE(leaving.run(std::ref(second)));
    ASSERT_TRUE(leaving.lastError());
    EXPECT_EQ(leaving.lastError()->number(), 1);
}

TEST(HandledSteps, silentNumbersNeverReachTheHandler) {
    int asked = 0;
    HandledSteps steps(
        [&](const Error&) {
            ++asked;
            return 0;
        },
        {errnum::ObjectClosed, 5});
    FlakyStep closed{1, errnum::ObjectClosed};
    EXPECT_TRUE(steps.run(std::ref(closed)));
    EXPECT_EQ(asked, 0);
    FlakyStep other{1, 9};
    EXPECT_FALSE(steps.run(std::ref(other)));
    EXPECT_EQ(asked, 1);
}

TEST(HandledSteps, foreignExceptionsBecomeInternalErrors) {
    std::int32_t seen = 0;
    HandledSteps steps([&](const Error& e) {
        seen = e.number();
        return answer::Ignore;
    });
    EXPECT_TRUE(steps.run([] { throw std::runtime_error("boom"); }));
    EXPECT_EQ(seen, errnum::InternalError);
}

TEST(ErrorHelpers, ignoringErrorsSwallowsAndReportsAndGuardedNeverThrows) {
    auto swallowed = ignoringErrors([] { throw standardError(errnum::ObjectClosed); });
    ASSERT_TRUE(swallowed);
    EXPECT_EQ(swallowed->number(), 3704);
    EXPECT_FALSE(ignoringErrors([] {}));

    QString reported;
    guarded([] { throw Error(5, QStringLiteral("argumento")); },
            [&](const Error& e) { reported = e.description(); });
    EXPECT_EQ(reported, "argumento");
    // A report that throws itself must not escape either.
    guarded([] { throw 1; }, [](const Error&) { throw std::runtime_error("x"); });
}
