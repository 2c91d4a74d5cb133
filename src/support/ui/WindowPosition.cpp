#include "support/ui/WindowPosition.h"

#include "store/RecordFile.h"
#include "support/WindowPlace.h"
#include "support/ui/Context.h"
#include "support/ui/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace support {

namespace {

// Where restoreWindowPosition put the frame: a window still standing there was not moved.
constexpr const char* PlacedAt = "monivaPlacedAt";

bool hasNativeWindow(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle && handle->handle();
}

// Under X11 a window manager frames the windows; elsewhere (the offscreen platform of the tests)
// QWidget's own idea of the frame is all there is.
bool framedByWindowManager(const QWidget& window) {
    return hasNativeWindow(window) && QGuiApplication::platformName() == QLatin1String("xcb");
}

// The frame as the window manager reports it now; none before it framed the window. (QWidget's
// own idea of its frame is renewed only when the window moves, and may still be the one from
// before the window was framed.)
QMargins knownMargins(const QWidget& window) {
    return hasNativeWindow(window) ? window.windowHandle()->frameMargins() : QMargins();
}

// The frame of a window the window manager has not framed yet is that of the program's other
// windows (one window manager decorates them alike); before any window is framed, a title bar
// and a thin border are assumed, so that a window pulled onto the screen keeps its bottom on it.
QMargins expectedMargins(const QWidget& window) {
    if (const QMargins own = knownMargins(window); !own.isNull())
        return own;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other->isVisible())
            if (const QMargins m = knownMargins(*other); !m.isNull())
                return m;
    return {4, 30, 4, 4};
}

// The frame's top-left corner in pixels.
QPoint frameTopLeft(const QWidget& window) {
    if (!framedByWindowManager(window))
        return window.pos();
    const QMargins m = knownMargins(window);
    return window.geometry().topLeft() - QPoint(m.left(), m.top());
}

QRect frameRect(const QWidget& window) {
    return {frameTopLeft(window), window.size().grownBy(expectedMargins(window))};
}

// Moves a framed window so that its frame stands at p. QWidget::move adds the frame QWidget
// believes in; the client area goes inside the frame the window manager reports.
void moveFramedTo(QWidget& window, QPoint p, QMargins m) {
    const QPoint believed = window.geometry().topLeft() - window.frameGeometry().topLeft();
    window.move(p + QPoint(m.left(), m.top()) - believed);
}

std::vector<ScreenAreas> screenAreas() {
    std::vector<ScreenAreas> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry(), a = screen->availableGeometry();
        areas.push_back({{g.x(), g.y(), g.width(), g.height()}, {a.x(), a.y(), a.width(), a.height()}});
    }
    return areas;
}

// A position left of or above the screen would read back as unset (a field must begin with a
// digit), so the edge is kept at 0.
std::pair<int, int> toTwips(const QWidget& window, QPoint p) {
    return {pixelsToTwipsX(window, std::max(0, p.x())), pixelsToTwipsY(window, std::max(0, p.y()))};
}

void writePair(store::RecordFile& file, store::PosRec rec, int pair, std::pair<int, int> twips) {
    rec.setPosition(pair, twips.first, twips.second);
    file.write(1, rec);
    file.commit();
}

// A window placed by its frame before the window manager framed it is checked once it is framed:
// a window manager may apply a move made while it frames a window to the client area.
class FrameKeeper : public QObject {
public:
    static void keep(QWidget& window, QPoint place) {
        delete window.findChild<QObject*>(Name, Qt::FindDirectChildrenOnly);
        window.installEventFilter(new FrameKeeper(window, place));
    }

    inline static const QString Name = QStringLiteral("monivaFrameKeeper");
    QPoint place() const { return place_; }

private:
    FrameKeeper(QWidget& window, QPoint place) : QObject(&window), place_(place) { setObjectName(Name); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Paint && type != QEvent::Show)
            return false;
        auto* window = static_cast<QWidget*>(watched);
        const QMargins m = knownMargins(*window);
        if (m.isNull())
            return false; // not framed yet
        if (frameTopLeft(*window) != place_)
            moveFramedTo(*window, place_, m);
        window->removeEventFilter(this);
        deleteLater();
        return false;
    }

    QPoint place_;
};

// Names the owner as the window's transient parent each time the window is shown: after Qt made
// the native window and before it maps it, which is when the window manager reads it.
class TransientKeeper : public QObject {
public:
    static void keep(QWidget& window, QWidget* owner) {
        auto* keeper = window.findChild<TransientKeeper*>(Name, Qt::FindDirectChildrenOnly);
        if (!keeper) {
            keeper = new TransientKeeper(window);
            window.installEventFilter(keeper);
        }
        keeper->owner_ = owner;
        if (window.isVisible())
            keeper->apply(window);
    }

private:
    inline static const QString Name = QStringLiteral("monivaTransientKeeper");

    explicit TransientKeeper(QWidget& window) : QObject(&window) { setObjectName(Name); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            apply(*static_cast<QWidget*>(watched));
        return false;
    }

    void apply(QWidget& window) {
        QWidget* owner = owner_ ? owner_->window() : nullptr;
        if (owner && owner != &window && window.windowHandle() && owner->windowHandle())
            window.windowHandle()->setTransientParent(owner->windowHandle());
    }

    QPointer<QWidget> owner_;
};

// The frame's top-left corner moved as little as needed for the whole frame to lie on the
// available area of the screen nearest to it.
QPoint onScreen(const QWidget& window, QPoint topLeft) {
    const QSize frame = window.size().grownBy(expectedMargins(window));
    const PixelPoint p =
        placeOnScreen(screenAreas(), {topLeft.x(), topLeft.y()}, frame.width(), frame.height());
    return {p.x, p.y};
}

} // namespace

void keepAbove(QWidget& window, QWidget* owner) {
    // Under X11 only a window of a dialog's type is given to the window manager as transient.
    if (window.windowType() == Qt::Window && !window.isVisible())
        window.setWindowFlags((window.windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    TransientKeeper::keep(window, owner);
}

void keepOnScreen(QWidget& window) {
    if (!window.isVisible())
        return;
    // A window not framed yet still goes where it was placed once it is: that place is the one
    // to check.
    const auto* keeper = window.findChild<FrameKeeper*>(FrameKeeper::Name, Qt::FindDirectChildrenOnly);
    const QPoint now = keeper ? keeper->place() : frameTopLeft(window);
    const QPoint p = onScreen(window, now);
    if (p == now)
        return;
    // Placed as any window is, but its place stays the one it was given, so closing it stores
    // where it was pulled to.
    const QVariant placed = window.property(PlacedAt);
    placeFrame(window, p);
    window.setProperty(PlacedAt, placed);
}

QPoint placeFrame(QWidget& window, QPoint topLeft) {
    const QPoint p = onScreen(window, topLeft);
    window.setProperty(PlacedAt, p);
    if (!framedByWindowManager(window)) {
        // No native window yet (Qt places its frame when it makes one), or no window manager.
        window.move(p);
    } else if (const QMargins m = knownMargins(window); !m.isNull()) {
        moveFramedTo(window, p, m);
    } else {
        // Shown but not framed yet. QWidget::move would place the client area there, so the
        // title bar landed one title bar higher at every opening, and would send the native
        // window the size it was created with (640 x 480), which the window then took over. The
        // native window gets the widget's size, and the frame position is asked of the window
        // manager directly.
        QWindow* handle = window.windowHandle();
        handle->resize(window.size());
        window.move(p);
        handle->setFramePosition(p);
        FrameKeeper::keep(window, p);
    }
    return p;
}

void restoreWindowPosition(support::Context& ctx, QWidget& window, store::WindowPair which) {
    const int pair = static_cast<int>(which);
    store::RecordFile file(ctx.paths.posFil(), store::PosRec::Length);
    const auto rec = file.read<store::PosRec>(1);
    if (const auto stored = rec.position(pair)) {
        placeFrame(window, {twipsX(window, stored->first), twipsY(window, stored->second)});
        return;
    }
    // The window manager would put a window without a place anywhere (and only after this has
    // run): it opens centred over the window it was opened from, and that is the place it keeps.
    writePair(file, rec, pair, toTwips(window, centreOver(window, QApplication::activeWindow())));
}

QPoint centreOver(QWidget& window, const QWidget* over) {
    QRect area = over && over != &window ? frameRect(*over) : QRect();
    if (area.isEmpty())
        if (const QScreen* screen = window.screen())
            area = screen->availableGeometry();
    const QSize frame = window.size().grownBy(expectedMargins(window));
    return placeFrame(window, area.center() + QPoint(1, 1) - QPoint(frame.width(), frame.height()) / 2);
}

void storeWindowPosition(support::Context& ctx, QWidget& window, store::WindowPair which) {
    const int pair = static_cast<int>(which);
    store::RecordFile file(ctx.paths.posFil(), store::PosRec::Length);
    const auto rec = file.read<store::PosRec>(1);
    const QPoint now = frameTopLeft(window);
    if (const auto stored = rec.position(pair)) {
        // Unmoved: where it was placed, or (compared in pixels, as a stored value need not fall on
        // a whole pixel) where the pair says.
        const QVariant placed = window.property(PlacedAt);
        if ((placed.isValid() && placed.toPoint() == now) ||
            QPoint(twipsX(window, stored->first), twipsY(window, stored->second)) == now)
            return;
    }
    writePair(file, rec, pair, toTwips(window, now));
}

} // namespace support
