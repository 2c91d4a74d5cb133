#pragma once

// One thread kept for the other halves of long passes (see Halves.h). A thread started for each
// pass took from 0.05 to 0.7 ms to begin: the system would place it on the caller's own core, so the
// second half began only when the first had ended. The kept thread sleeps until a task is offered
// and is woken on another core than the caller's (on Linux it is kept off the caller's core until
// it has begun the task).
//
// A caller offers a task, runs its own part, then takes the task back when the thread has not
// begun it (and runs it itself) or waits until the thread has finished it. So a thread that is
// late or busy never makes a pass slower than one pass on the caller's thread.

#include <system_error>
#include <thread>

namespace store {

inline bool twoCores() {
    static const bool two = std::thread::hardware_concurrency() >= 2;
    return two;
}

struct Task {
    void (*run)(void* context);
    void* context;
};

class SecondThread {
public:
    // Offers the task; false when another task is already offered (the caller runs it some other way).
    static bool offer(Task& task);
    // After a successful offer, before the task's data goes: true when the task was taken back
    // unbegun (the caller must run it), false once the thread has finished it.
    static bool takeBackOrWait(Task& task);
};

// Runs other(), which must not throw, while the caller runs own(), and returns when both have ended:
// other goes to the kept thread, to a thread of its own while that one is busy, or, where no thread
// can be had or the machine has one core, to the caller after own. When own throws, other is waited
// for (or, taken back unbegun, not run) before the exception goes on.
template <class Own, class Other> void alongside(const Own& own, const Other& other) {
    if (!twoCores()) {
        own();
        other();
        return;
    }
    Task task{[](void* o) { (*static_cast<const Other*>(o))(); },
              const_cast<void*>(static_cast<const void*>(&other))};
    const bool offered = SecondThread::offer(task);
    std::thread thread;
    if (!offered) {
        try {
            thread = std::thread([&other] { other(); });
        } catch (const std::system_error&) {
        }
    }
    // False when other was taken back unbegun and is still to be run here.
    const auto otherDone = [&] {
        if (thread.joinable()) {
            thread.join();
            return true;
        }
        return offered && !SecondThread::takeBackOrWait(task);
    };
    try {
        own();
    } catch (...) {
        otherDone();
        throw;
    }
    if (!otherDone())
        other();
}

} // namespace store
