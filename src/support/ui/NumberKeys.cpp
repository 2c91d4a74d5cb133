#include "support/ui/NumberKeys.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>

namespace support {

namespace {

class NumberKeyFilter : public QObject {
public:
    NumberKeyFilter(QLabel& label, NumberKeys keys)
        : QObject(&label), label_(label), keys_(std::move(keys)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Esc belongs to the digits being typed before any shortcut of the window sees it.
            if (!typed_.isEmpty() && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress:
            return key(*static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            highlight(true);
            return false;
        case QEvent::FocusOut:
            drop();
            highlight(false);
            return false;
        default:
            return false;
        }
    }

private:
    bool key(const QKeyEvent& e) {
        if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const int k = e.key();
        if (k >= Qt::Key_0 && k <= Qt::Key_9) {
            digit(k - Qt::Key_0);
            return true;
        }
        switch (k) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            drop();
            if (keys_.step)
                keys_.step(k == Qt::Key_Up ? 1 : -1);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (!keys_.page)
                return false;
            drop();
            keys_.page(k == Qt::Key_PageUp ? 1 : -1);
            return true;
        case Qt::Key_Backspace:
            if (typed_.isEmpty())
                return false;
            typed_.chop(1);
            if (typed_.isEmpty())
                label_.setText(before_);
            else
                showTyped();
            return true;
        case Qt::Key_Escape:
            if (typed_.isEmpty())
                return false;
            drop();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!typed_.isEmpty()) {
                drop();
                QApplication::beep();
                return true;
            }
            if (keys_.enter)
                keys_.enter();
            return true;
        default:
            return false;
        }
    }

    void digit(int d) {
        if (typed_.isEmpty())
            before_ = label_.text();
        typed_ += QChar('0' + d);
        if (typed_.size() < keys_.digits) {
            showTyped();
            return;
        }
        const int value = typed_.toInt();
        drop(); // an accepted number is shown by its owner
        if (!keys_.typed || !keys_.typed(value))
            QApplication::beep();
    }

    void showTyped() { label_.setText(typed_ + QString(keys_.digits - typed_.size(), QLatin1Char('_'))); }

    void drop() {
        if (typed_.isEmpty())
            return;
        typed_.clear();
        label_.setText(before_);
    }

    // A label draws no focus frame of its own: it takes the colours of a selection instead.
    void highlight(bool on) {
        if (on) {
            palette_ = label_.palette();
            autoFill_ = label_.autoFillBackground();
            QPalette p = palette_;
            p.setColor(QPalette::Window, p.color(QPalette::Highlight));
            p.setColor(QPalette::WindowText, p.color(QPalette::HighlightedText));
            label_.setPalette(p);
            label_.setAutoFillBackground(true);
        } else {
            label_.setPalette(palette_);
            label_.setAutoFillBackground(autoFill_);
        }
    }

    QLabel& label_;
    NumberKeys keys_;
    QString typed_;
    QString before_;
    QPalette palette_;
    bool autoFill_ = false;
};

} // namespace

void useNumberKeys(QLabel& label, NumberKeys keys) {
    label.setFocusPolicy(Qt::TabFocus);
    label.installEventFilter(new NumberKeyFilter(label, std::move(keys)));
}

} // namespace support
