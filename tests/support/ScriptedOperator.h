#pragma once

#include "platform/ui/ScriptedOperatorInterface.h"

#include <gtest/gtest.h>

namespace estaciones::test {

// A scripted operator installed for the life of a test: an unexpected dialog
// fails the test, and so does an answer left unused at the end.
class ScriptedOperator : public ui::ScriptedOperatorInterface {
public:
    ScriptedOperator() : m_previous(ui::setOperatorInterface(this)) {
        setFailureHandler([](const QString& what) { ADD_FAILURE() << what.toStdString(); });
    }
    ~ScriptedOperator() override {
        ui::setOperatorInterface(m_previous);
        EXPECT_TRUE(allAnswersUsed()) << "Some queued dialog answers were never used";
    }
    ScriptedOperator(const ScriptedOperator&) = delete;
    ScriptedOperator& operator=(const ScriptedOperator&) = delete;

private:
    ui::OperatorInterface* m_previous;
};

} // namespace estaciones::test
