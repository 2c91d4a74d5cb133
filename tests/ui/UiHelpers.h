#pragma once

// Small input helpers for window tests: keys and typing as a person would send them, through
// the widget's own event handling (event filters included).

#include "store/Errors.h"
#include "store/RecordFile.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <ostream>

// Failed comparisons of texts print the texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << l.join(QStringLiteral(", ")).toStdString();
}
QT_END_NAMESPACE

namespace uitest {

inline void pressKey(QWidget* w, int key, const QString& text = {},
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

inline void pressEnter(QWidget* w) {
    pressKey(w, Qt::Key_Return, QStringLiteral("\r"));
}

// Types each character as a key press, so textEdited and the like fire as for a person.
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        pressKey(w, 0, QString(c));
}

// The left button pressed or released at `at` (the widget's own coordinates), through the
// widget's event handling; click() sends both, as a person's click does.
inline void mouseDown(QWidget* w, QPointF at = {2, 2}) {
    QMouseEvent event(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void mouseUp(QWidget* w, QPointF at = {2, 2}) {
    QMouseEvent event(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void click(QWidget* w, QPointF at = {2, 2}) {
    mouseDown(w, at);
    mouseUp(w, at);
}

// Finds a named control or fails the calling test through the null pointer it returns.
template <typename T> T* control(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

// The visible top-level window with this title (or object name), null when none is shown.
inline QWidget* shownWindow(const QString& title, const QString& objectName = {}) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() &&
            (w->windowTitle() == title || (!objectName.isEmpty() && w->objectName() == objectName)))
            return w;
    return nullptr;
}

// Every save of the named file fails at its rename until the hook is cleared.
inline void failSavesOf(const std::string& fileName) {
    store::setCommitFaultHook([fileName](store::CommitStep step, const std::filesystem::path& file) {
        if (step == store::CommitStep::Rename && file.filename() == fileName)
            throw store::FileError("Input/output error", file.string());
    });
}

} // namespace uitest
