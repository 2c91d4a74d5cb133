#include "ScriptedDialogs.h"

#include <QDialog>
#include <QPrinter>

#include <gtest/gtest.h>

namespace uitest {

const char* kindName(ScriptedDialogs::Kind kind) {
    static const char* const names[] = {"message", "question", "input", "exec", "save", "print", "open"};
    return names[static_cast<int>(kind)];
}

::testing::AssertionResult showed(const ScriptedDialogs& dialogs, int i, const QString& title,
                                  const QString& text) {
    const auto& calls = dialogs.calls();
    const int at = i < 0 ? static_cast<int>(calls.size()) + i : i;
    if (at < 0 || at >= static_cast<int>(calls.size()))
        return ::testing::AssertionFailure() << "no box " << i << " among " << calls.size();
    const auto& c = calls[static_cast<std::size_t>(at)];
    if (c.title == title && c.text == text)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box " << i << " said \"" << c.title.toStdString() << "\": \"" << c.text.toStdString()
           << "\", not \"" << title.toStdString() << "\": \"" << text.toStdString() << '"';
}

QString ScriptedDialogs::lastText() const {
    return calls_.empty() ? QString() : calls_.back().text;
}

QStringList ScriptedDialogs::all(QString Call::*part) const {
    QStringList out;
    for (const Call& c : calls_)
        out << c.*part;
    return out;
}

ScriptedDialogs& ScriptedDialogs::clear() {
    calls_.clear();
    script_.clear();
    return *this;
}

bool ScriptedDialogs::take(Kind kind, const Call& call, Reply& out) {
    if (script_.empty()) {
        ADD_FAILURE() << "Unscripted " << kindName(kind) << " box, title \"" << call.title.toStdString()
                      << "\", text \"" << call.text.toStdString() << "\"";
        return false;
    }
    if (script_.front().kind != kind) {
        ADD_FAILURE() << "A " << kindName(kind) << " box came while the script expected "
                      << kindName(script_.front().kind) << ": title \"" << call.title.toStdString()
                      << "\", text \"" << call.text.toStdString() << "\"";
        return false;
    }
    out = std::move(script_.front());
    script_.pop_front();
    return true;
}

void ScriptedDialogs::message(QWidget*, const QString& title, const QString& text, Icon icon) {
    calls_.push_back({Kind::Message, title, text, icon, {}});
}

bool ScriptedDialogs::question(QWidget*, const QString& title, const QString& text, Icon icon) {
    calls_.push_back({Kind::Question, title, text, icon, {}});
    Reply a;
    if (!take(Kind::Question, calls_.back(), a))
        return false;
    if (a.cancel)
        ADD_FAILURE() << "Cancel answered a Yes/No box: title \"" << title.toStdString() << "\"";
    return a.yes;
}

support::Dialogs::Answer ScriptedDialogs::questionOrCancel(QWidget*, const QString& title,
                                                           const QString& text, Icon icon) {
    calls_.push_back({Kind::Question, title, text, icon, {}, true});
    Reply a;
    if (!take(Kind::Question, calls_.back(), a))
        return support::Dialogs::Answer::Cancel;
    return a.cancel ? support::Dialogs::Answer::Cancel
           : a.yes  ? support::Dialogs::Answer::Yes
                    : support::Dialogs::Answer::No;
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title, const QString&) {
    calls_.push_back({Kind::Input, title, prompt, Icon::None, {}});
    Reply a;
    return take(Kind::Input, calls_.back(), a) ? a.text : QString();
}

int ScriptedDialogs::exec(QDialog& dialog) {
    calls_.push_back({Kind::Exec, dialog.windowTitle(), dialog.metaObject()->className(), Icon::None, {}});
    Reply a;
    if (!take(Kind::Exec, calls_.back(), a))
        return QDialog::Rejected;
    return a.handler ? a.handler(dialog) : QDialog::Rejected;
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& title, const QString& defaultPath,
                                  const QString& filter, QString* chosenFilter) {
    calls_.push_back({Kind::Save, title, defaultPath, Icon::None, filter});
    Reply a;
    if (!take(Kind::Save, calls_.back(), a))
        return {};
    if (chosenFilter)
        *chosenFilter = a.filter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : a.filter;
    return a.text;
}

QString ScriptedDialogs::openFile(QWidget*, const QString& title, const QString& folder,
                                  const QString& filter) {
    calls_.push_back({Kind::Open, title, folder, Icon::None, filter});
    Reply a;
    return take(Kind::Open, calls_.back(), a) ? a.text : QString();
}

bool ScriptedDialogs::printSetup(QWidget*, QPrinter& printer) {
    calls_.push_back({Kind::Print, printer.docName(), printer.outputFileName(), Icon::None, {}});
    Reply a;
    if (!take(Kind::Print, calls_.back(), a) || a.text.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(a.text);
    return true;
}

} // namespace uitest
