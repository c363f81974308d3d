#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Gives the processor to any other thread that is ready to run. True when one did run (the
// yield took longer than a bare system call): the machine is busy, and a thread that spins on
// would only take time from others, among them the peer whose answer it awaits.
inline bool YieldFoundProcessorBusy() {
    constexpr std::chrono::microseconds kBusyYield{50};
    const auto before = std::chrono::steady_clock::now();
    std::this_thread::yield();
    return std::chrono::steady_clock::now() - before > kBusyYield;
}

// A manual-reset event: once set it stays set, waking every waiter, until Reset.
// Requests complete on the I/O thread and are collected on the GUI thread, so the
// two meet here.
class CompletionEvent {
  public:
    explicit CompletionEvent(bool initiallySet = false) : set_(initiallySet) {}

    // A reply on a fast link arrives within microseconds to a millisecond or two; watching the
    // flag that long before sleeping saves the waiter a sleep and a wake-up on every round
    // trip. A link that answered more slowly last time gets only the short watch, so a slow
    // line does not keep the waiting thread busy; a busy machine ends the watch early.
    static constexpr std::chrono::microseconds kSpinLimit{50};
    static constexpr std::chrono::microseconds kLongSpinLimit{2000};
    CompletionEvent(const CompletionEvent&) = delete;
    CompletionEvent& operator=(const CompletionEvent&) = delete;

    // The waiter may return and destroy the event (it often lives on the waiter's stack) as soon
    // as it sees the flag, so the notification happens under the lock and a waiter that saw the
    // flag while spinning takes the lock once before it returns: Set is then done with the event.
    void Set() {
        std::lock_guard<std::mutex> guard(mutex_);
        set_.store(true, std::memory_order_release);
        changed_.notify_all();
    }

    void Reset() {
        std::lock_guard<std::mutex> guard(mutex_);
        set_.store(false, std::memory_order_relaxed);
    }

    bool IsSet() { return set_.load(std::memory_order_acquire); }

    // Off: Wait sleeps at once. For links where the watch was measured to cost more than the
    // wake-up it saves. Set before the first Wait.
    void SetWatching(bool watch) { watching_ = watch; }

    void Wait() {
        const auto start = std::chrono::steady_clock::now();
        const bool quick = watching_
                               ? SpinUntilSet(start + (lastWasQuick_.load(std::memory_order_relaxed)
                                                           ? kLongSpinLimit
                                                           : kSpinLimit))
                               : IsSet();
        {
            std::unique_lock<std::mutex> guard(mutex_);
            if (!quick)
                changed_.wait(guard, [this] { return set_.load(std::memory_order_relaxed); });
        }
        lastWasQuick_.store(quick || std::chrono::steady_clock::now() - start < kLongSpinLimit,
                            std::memory_order_relaxed);
    }

    // True when the event was set within the time; false on expiry.
    bool WaitFor(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> guard(mutex_);
        return changed_.wait_for(guard, limit,
                                 [this] { return set_.load(std::memory_order_relaxed); });
    }

  private:
    // Watches the flag until `until`, or less on a busy machine.
    bool SpinUntilSet(std::chrono::steady_clock::time_point until) {
        do {
            if (set_.load(std::memory_order_acquire)) {
                return true;
            }
            if (YieldFoundProcessorBusy()) {
                break;
            }
        } while (std::chrono::steady_clock::now() < until);
        return set_.load(std::memory_order_acquire);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> set_;
    bool watching_ = true;
    std::atomic<bool> lastWasQuick_{true};  // the last Wait ended within kLongSpinLimit
};
