#pragma once

#include "support/ui/Dialogs.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace uitest {

// Dialogs that answer from a script instead of a person, and remember every box shown.
//
//   dialogs.answerYes().answerInput("Anna");
//   ... run the window procedure ...
//   EXPECT_EQ(dialogs.lastText(), "...");
//
// Answers are used in the order given, each by the next call of its kind (a question takes a
// yes/no answer, an input box an input answer, a modal window an exec handler, a save dialog a path). A
// question, input box or modal window with no fitting answer next in the script fails the test and answers
// No, "" or Rejected. Message boxes need no answer: they are only recorded.
class ScriptedDialogs : public support::Dialogs {
public:
    enum class Kind { Message, Question, Input, Exec, Save, Print, Open };

    struct Call {
        Kind kind;
        QString title; // the window caption for Exec
        QString text;  // the prompt for Input; the window's class name for Exec; the offered path for Save,
                       // the folder for Open
        Icon icon = Icon::None;
        QString filter;            // Save and Open only
        bool cancelButton = false; // a question with "Avbryt" beside "Ja" and "Nej"
    };

    ScriptedDialogs& answerYes() { return add({.kind = Kind::Question, .yes = true}); }
    ScriptedDialogs& answerNo() { return add({.kind = Kind::Question}); }
    // Only a Yes/No/Cancel box takes it: a Yes/No box given Cancel fails the test.
    ScriptedDialogs& answerCancel() { return add({.kind = Kind::Question, .cancel = true}); }
    ScriptedDialogs& answerInput(const QString& text) { return add({.kind = Kind::Input, .text = text}); }
    // The handler drives the window (fills it, clicks its buttons) and returns its result code,
    // usually dialog.result() after a button closed it.
    ScriptedDialogs& onExec(std::function<int(QDialog&)> handler) {
        return add({.kind = Kind::Exec, .handler = std::move(handler)});
    }
    // The path a save dialog returns; "" cancels it. The filter chosen is the one given, else the
    // first offered.
    ScriptedDialogs& answerSave(const QString& path, const QString& filter = {}) {
        return add({.kind = Kind::Save, .text = path, .filter = filter});
    }
    // The path an open dialog returns; "" cancels it.
    ScriptedDialogs& answerOpen(const QString& path) { return add({.kind = Kind::Open, .text = path}); }
    // The printer-setup dialog: accepted with the printer writing a PDF to this path; "" cancels.
    ScriptedDialogs& answerPrint(const QString& pdfPath) {
        return add({.kind = Kind::Print, .text = pdfPath});
    }

    const std::vector<Call>& calls() const { return calls_; }
    // Text of the last call of any kind; "" when there was none.
    QString lastText() const;
    QStringList titles() const { return all(&Call::title); }
    QStringList texts() const { return all(&Call::text); }
    std::size_t pendingAnswers() const { return script_.size(); }
    // Forgets the recorded calls and any unused answers; a new script may follow.
    ScriptedDialogs& clear();

    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    bool question(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    support::Dialogs::Answer questionOrCancel(QWidget* parent, const QString& title, const QString& text,
                                              Icon icon) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& defaultText) override;
    int exec(QDialog& dialog) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& defaultPath, const QString& filter,
                     QString* chosenFilter = nullptr) override;
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    bool printSetup(QWidget* parent, QPrinter& printer) override;

private:
    struct Reply {
        Kind kind;
        bool yes = false;
        QString text = {};
        std::function<int(QDialog&)> handler = {};
        bool cancel = false;
        QString filter = {}; // Save
    };
    ScriptedDialogs& add(Reply reply) {
        script_.push_back(std::move(reply));
        return *this;
    }
    QStringList all(QString Call::*part) const;
    // The next answer when it is of this kind; fails the test otherwise.
    bool take(Kind kind, const Call& call, Reply& out);

    std::deque<Reply> script_;
    std::vector<Call> calls_;
};

const char* kindName(ScriptedDialogs::Kind kind);

// Whether call i (counted from the end when negative) had this title and text, for EXPECT_TRUE: a
// failure shows what the box said.
::testing::AssertionResult showed(const ScriptedDialogs& dialogs, int i, const QString& title,
                                  const QString& text);

} // namespace uitest
