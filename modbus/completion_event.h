#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A manual-reset event: once set it stays set, waking every waiter, until Reset.
// Requests complete on the I/O thread and are collected on the GUI thread, so the
// two meet here.
class CompletionEvent {
  public:
    explicit CompletionEvent(bool initiallySet = false) : set_(initiallySet) {}
    CompletionEvent(const CompletionEvent&) = delete;
    CompletionEvent& operator=(const CompletionEvent&) = delete;

    void Set() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }

    void Reset() {
        std::lock_guard<std::mutex> guard(mutex_);
        set_ = false;
    }

    bool IsSet() {
        std::lock_guard<std::mutex> guard(mutex_);
        return set_;
    }

    void Wait() {
        std::unique_lock<std::mutex> guard(mutex_);
        changed_.wait(guard, [this] { return set_; });
    }

    // True when the event was set within the time; false on expiry.
    bool WaitFor(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> guard(mutex_);
        return changed_.wait_for(guard, limit, [this] { return set_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_;
};
