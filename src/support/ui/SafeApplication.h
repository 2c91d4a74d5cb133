#pragma once

#include <QApplication>

namespace support {
class Context;
}

namespace support {

// The program's application object. Every window procedure traps its own failures; this is the
// net under all of them: an exception that still reaches the event loop is explained through the
// error routine with a general heading, and the program goes on instead of ending.
class SafeApplication : public QApplication {
    Q_OBJECT
public:
    SafeApplication(int& argc, char** argv);

    // Where escaped failures are reported; without a context they are only written to the log.
    void setErrorContext(support::Context* ctx) { ctx_ = ctx; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    support::Context* ctx_ = nullptr;
};

} // namespace support
