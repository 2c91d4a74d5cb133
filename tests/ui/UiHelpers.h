#pragma once

// Small input helpers for window tests: keys and typing as a person would send them, through
// the widget's own event handling (event filters included).

#include "store/Errors.h"
#include "store/RecordFile.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <initializer_list>
#include <ostream>
#include <string>

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

// The mouse entering the widget, as its help texts and tooltips wait for.
inline void hover(QWidget* w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(w, &event);
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

// The states of named controls as one text, a character per name: '1' when the control is enabled
// (visible), '0' when not, '?' when the window has no such control. A window's state is compared at once.
inline std::string statesOf(QWidget& window, std::initializer_list<const char*> names,
                            bool (QWidget::*state)() const) {
    std::string out;
    for (const char* name : names) {
        QWidget* w = window.findChild<QWidget*>(QString::fromLatin1(name));
        out += !w ? '?' : (w->*state)() ? '1' : '0';
    }
    return out;
}
inline std::string enabledOf(QWidget& window, std::initializer_list<const char*> names) {
    return statesOf(window, names, &QWidget::isEnabled);
}
inline std::string visibleOf(QWidget& window, std::initializer_list<const char*> names) {
    return statesOf(window, names, &QWidget::isVisible);
}
// The texts (captions) of named labels, buttons and boxes, in the order named.
inline QStringList textsOf(QWidget& window, std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* name : names) {
        QWidget* w = window.findChild<QWidget*>(QString::fromLatin1(name));
        out << (w ? w->property("text").toString() : QStringLiteral("<no %1>").arg(QLatin1String(name)));
    }
    return out;
}

// The visible top-level window with this title (or object name), null when none is shown.
inline QWidget* shownWindow(const QString& title, const QString& objectName = {}) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() &&
            (w->windowTitle() == title || (!objectName.isEmpty() && w->objectName() == objectName)))
            return w;
    return nullptr;
}

// Every save of the named file (of any file when the name is empty) fails at the step with this
// error until the hook is cleared.
inline void failSavesOf(const std::string& fileName, store::CommitStep at = store::CommitStep::Rename,
                        const char* error = "Input/output error") {
    store::setCommitFaultHook([=](store::CommitStep step, const std::filesystem::path& file) {
        if (step == at && (fileName.empty() || file.filename() == fileName))
            throw store::FileError(error, file.string());
    });
}

} // namespace uitest
