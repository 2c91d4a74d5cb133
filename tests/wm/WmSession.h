#pragma once

// Waiting for the window manager: it frames and places a window some time after Qt maps it.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace wmtest {

// Processes events until cond holds; false when it did not within timeoutMs.
inline bool waitFor(const std::function<bool()>& cond, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!cond()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

inline bool framed(const QWidget& w) {
    return w.isVisible() && w.windowHandle() && !w.windowHandle()->frameMargins().isNull();
}

// The frame as the window manager reports it now (QWidget's frameGeometry() is renewed only
// when the window moves).
inline QRect frameOf(const QWidget& w) {
    const QMargins m = w.windowHandle() ? w.windowHandle()->frameMargins() : QMargins();
    return {w.geometry().topLeft() - QPoint(m.left(), m.top()), w.size().grownBy(m)};
}

// Until the window has its frame and its frame has stood still for a moment.
inline bool waitFramed(const QWidget& w) {
    QRect last;
    int still = 0;
    return waitFor([&] {
        if (!framed(w))
            return false;
        const QRect now = frameOf(w);
        still = now == last ? still + 1 : 0;
        last = now;
        return still >= 5;
    });
}

// A window manager frames windows (openbox sets its frame extents when it manages a window).
inline bool waitForWindowManager() {
    QWidget probe;
    probe.resize(120, 60);
    probe.show();
    const bool ok = waitFor([&] { return framed(probe); }, 20000);
    probe.hide();
    return ok;
}

} // namespace wmtest
