#include "store/SecondThread.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#endif

namespace store {

namespace {

// The slot holds nothing (0), an offered task's address, that address with Begun once the thread
// has begun the task, or Stop.
constexpr std::uintptr_t Begun = 1;
constexpr std::uintptr_t Stop = 2;
static_assert(alignof(Task) > Stop, "a task's address leaves the low bits free");

class Worker {
public:
    Worker() {
#ifdef __linux__
        CPU_ZERO(&allowed_);
        if (::sched_getaffinity(0, sizeof allowed_, &allowed_) != 0 || CPU_COUNT(&allowed_) < 2)
            CPU_ZERO(&allowed_); // nothing to choose from
        pinned_ = allowed_;
#endif
        try {
            thread_ = std::thread([this] { loop(); });
        } catch (const std::system_error&) {
            // No thread to be had: every task is run by its caller.
        }
    }
    ~Worker() {
        if (!thread_.joinable())
            return;
        // A pass still running at the end of the program is let finish first.
        for (std::uintptr_t seen = 0; !slot_.compare_exchange_weak(seen, Stop, std::memory_order_acq_rel);
             seen = 0)
            if (seen != 0)
                slot_.wait(seen, std::memory_order_acquire);
        slot_.notify_all();
        thread_.join();
    }

    bool offer(Task& task) {
        if (!thread_.joinable() || slot_.load(std::memory_order_relaxed) != 0)
            return false;
        // Before the task is there to be begun, which frees the thread of the cores again.
        keepOffCallersCore();
        std::uintptr_t empty = 0;
        if (!slot_.compare_exchange_strong(empty, reinterpret_cast<std::uintptr_t>(&task),
                                           std::memory_order_acq_rel))
            return false;
        slot_.notify_one();
        return true;
    }

    bool takeBackOrWait(Task& task) {
        const auto mine = reinterpret_cast<std::uintptr_t>(&task);
        std::uintptr_t offered = mine;
        if (slot_.compare_exchange_strong(offered, 0, std::memory_order_acq_rel))
            return true;
        // Begun: wait until the thread has finished it.
        for (std::uintptr_t now; (now = slot_.load(std::memory_order_acquire)) == (mine | Begun);)
            slot_.wait(now, std::memory_order_acquire);
        return false;
    }

private:
    // Woken, the thread would often be placed on the core of the caller that woke it, and so begin
    // only when the caller waits: it is woken kept to the other cores. Once it has begun, every
    // core is its own again, so that the system may move either thread where the other work of
    // the machine leaves room.
    void keepOffCallersCore() {
#ifdef __linux__
        const int here = ::sched_getcpu();
        if (here >= 0 && CPU_COUNT(&allowed_) != 0 && CPU_ISSET(here, &allowed_)) {
            cpu_set_t others = allowed_;
            CPU_CLR(here, &others);
            pin(others);
        }
#endif
    }
    void freeOfCores() {
#ifdef __linux__
        if (CPU_COUNT(&allowed_) != 0)
            pin(allowed_);
#endif
    }
#ifdef __linux__
    void pin(const cpu_set_t& cores) {
        // A caller that offered may still be here when the next one offers.
        const std::lock_guard lock(pinning_);
        if (!CPU_EQUAL(&cores, &pinned_) &&
            ::pthread_setaffinity_np(thread_.native_handle(), sizeof cores, &cores) == 0)
            pinned_ = cores;
    }
#endif

    void loop() {
        for (;;) {
            std::uintptr_t seen = slot_.load(std::memory_order_acquire);
            if (seen == Stop)
                return;
            if (seen == 0) {
                slot_.wait(0, std::memory_order_acquire);
                continue;
            }
            // Taken back by its caller meanwhile: look again.
            if (!slot_.compare_exchange_strong(seen, seen | Begun, std::memory_order_acq_rel))
                continue;
            freeOfCores();
            const Task* task = reinterpret_cast<const Task*>(seen);
            task->run(task->context);
            // The task's data may go as soon as its caller sees this: it is not touched again.
            slot_.store(0, std::memory_order_release);
            slot_.notify_all();
        }
    }

    std::atomic<std::uintptr_t> slot_{0};
    std::thread thread_;
#ifdef __linux__
    cpu_set_t allowed_;
    std::mutex pinning_;
    cpu_set_t pinned_;
#endif
};

Worker& worker() {
    static Worker w;
    return w;
}

} // namespace

bool SecondThread::offer(Task& task) {
    return worker().offer(task);
}

bool SecondThread::takeBackOrWait(Task& task) {
    return worker().takeBackOrWait(task);
}

} // namespace store
