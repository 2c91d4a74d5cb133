#include "ScriptedDialogs.h"

#include <QDialog>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using uitest::ScriptedDialogs;

TEST(ScriptedDialogs, AnswersInOrderAndRecordsEveryBox) {
    ScriptedDialogs d;
    d.answerYes().answerInput("Anna").onExec([](QDialog& dlg) {
        dlg.setWindowTitle("Ändrad");
        return int(QDialog::Accepted);
    });
    d.message(nullptr, "Info", "Text 1", ScriptedDialogs::Icon::Information);
    EXPECT_TRUE(d.question(nullptr, "Fråga", "Säker ?", ScriptedDialogs::Icon::Question));
    EXPECT_EQ(d.input(nullptr, "Namn ?", "Användarnamn", ""), "Anna");
    QDialog dialog;
    dialog.setWindowTitle("Rapportformulär");
    EXPECT_EQ(d.exec(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.windowTitle(), "Ändrad");
    EXPECT_EQ(d.pendingAnswers(), 0u);
    EXPECT_EQ(d.titles(), (QStringList{"Info", "Fråga", "Användarnamn", "Rapportformulär"}));
    EXPECT_EQ(d.calls()[2].text, "Namn ?");
    EXPECT_EQ(d.calls()[3].kind, ScriptedDialogs::Kind::Exec);
    EXPECT_EQ(d.lastText(), "QDialog");
    d.clear();
    EXPECT_TRUE(d.calls().empty());
}

TEST(ScriptedDialogs, UnscriptedOrMismatchedBoxFailsTheTest) {
    ScriptedDialogs d;
    bool yes = true;
    EXPECT_NONFATAL_FAILURE(yes = d.question(nullptr, "T", "Vill du ?", ScriptedDialogs::Icon::Question),
                            "Vill du ?");
    EXPECT_FALSE(yes);
    d.answerYes();
    QString typed = "x";
    EXPECT_NONFATAL_FAILURE(typed = d.input(nullptr, "Prompt", "Titel", "standard"), "expected question");
    EXPECT_EQ(typed, "");
    // The mismatched answer is still there for the question it was meant for.
    EXPECT_EQ(d.pendingAnswers(), 1u);
    EXPECT_TRUE(d.question(nullptr, "T", "Vill du ?", ScriptedDialogs::Icon::Question));
}
