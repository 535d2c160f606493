#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::ui;

TEST(ScriptedOperator, answersInOrderAndRecordsEveryDialog) {
    test::ScriptedOperator op;
    op.answerMessage(reply::Retry).answerInput(QStringLiteral("kelp@")).answerColor(0xFF0000u);
    OperatorInterface& ui = operatorInterface();
    EXPECT_EQ(ui.messageBox(QStringLiteral("texto"), style::AbortRetryIgnore | style::Critical,
                            QStringLiteral("Título")),
              reply::Retry);
    EXPECT_EQ(ui.inputBox(QStringLiteral("clave"), QStringLiteral("Atencion")),
              QStringLiteral("kelp@"));
    EXPECT_EQ(ui.chooseColor(0), 0xFF0000u);
    ASSERT_EQ(op.dialogs().size(), 3u);
    EXPECT_EQ(op.dialogs()[0].title, "Título");
    EXPECT_EQ(op.dialogs()[0].flags, 18);
    EXPECT_EQ(op.dialogs()[1].text, "clave");
}

TEST(ScriptedOperator, anUnexpectedDialogIsReportedAndCancelled) {
    ScriptedOperatorInterface op;
    QStringList failures;
    op.setFailureHandler([&](const QString& f) { failures << f; });
    op.answerInput(std::nullopt);
    EXPECT_EQ(op.messageBox(QStringLiteral("inesperado"), style::YesNo, {}), reply::Cancel);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("inesperado"));
    EXPECT_FALSE(op.inputBox(QStringLiteral("p"), {}, {}));
    EXPECT_TRUE(op.allAnswersUsed());
    EXPECT_EQ(failures.size(), 1);
}

TEST(ScriptedOperator, scopedInstallationRestoresThePreviousOperator) {
    ScriptedOperatorInterface outer;
    ScriptedOperatorInterface inner;
    ScopedOperatorInterface a(outer);
    {
        ScopedOperatorInterface b(inner);
        EXPECT_EQ(&operatorInterface(), &inner);
    }
    EXPECT_EQ(&operatorInterface(), &outer);
}
