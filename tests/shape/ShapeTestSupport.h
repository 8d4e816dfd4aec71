#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "shape/Shape.h"

namespace shapetest {

using namespace std::chrono_literals;

inline constexpr auto kWaitLimit = 5s;

// One callback invocation as the owner saw it.
template <class T>
struct Call {
    int channelId = 0;
    std::vector<T> values;
    uint32_t length = 0;
    uint32_t oldLength = 0;
    uint32_t index = 0;
    uint32_t oldIndex = 0;
    int param = 0;
    std::thread::id thread;
};

// A callback owner that records every call; an optional action runs inside the callback.
template <class T>
class Recorder {
public:
    void onChange(int channelId, const T* data, uint32_t length, uint32_t oldLength, uint32_t index,
                  uint32_t oldIndex, int param)
    {
        std::function<void()> action;
        {
            std::lock_guard guard(mutex_);
            Call<T> call{channelId, {}, length, oldLength, index, oldIndex, param, std::this_thread::get_id()};
            if (data != nullptr) {
                call.values.assign(data, data + length);
            }
            calls_.push_back(std::move(call));
            action = action_;
            changed_.notify_all();
        }
        if (action) {
            action();
        }
    }

    void setAction(std::function<void()> action)
    {
        std::lock_guard guard(mutex_);
        action_ = std::move(action);
    }

    // Waits until at least `count` calls were recorded.
    bool waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kWaitLimit, [&] { return calls_.size() >= count; });
    }

    std::vector<Call<T>> calls() const
    {
        std::lock_guard guard(mutex_);
        return calls_;
    }

    std::size_t count() const
    {
        std::lock_guard guard(mutex_);
        return calls_.size();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Call<T>> calls_;
    std::function<void()> action_;
};

// Plays an owner's UI thread: posted deliveries and jobs run on one thread in posting order.
class UiThread : public IDeliveryPoster {
public:
    UiThread() : thread_([this] { loop(); }) {}

    ~UiThread() override
    {
        {
            std::lock_guard guard(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void postDelivery(std::unique_ptr<PostedDelivery> record) override
    {
        push(Task{std::move(record), {}});
    }

    // Runs `job` on the UI thread and waits for it.
    void run(std::function<void()> job)
    {
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        push(Task{nullptr, [&job, &done] {
                      job();
                      done.set_value();
                  }});
        finished.wait();
    }

    // Queues `job` without waiting.
    void post(std::function<void()> job) { push(Task{nullptr, std::move(job)}); }

    // Waits until nothing is queued or running.
    bool waitIdle()
    {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, kWaitLimit, [&] { return tasks_.empty() && !busy_; });
    }

    bool idleNow()
    {
        std::lock_guard guard(mutex_);
        return tasks_.empty() && !busy_;
    }

    std::thread::id id() const { return thread_.get_id(); }

private:
    struct Task {
        std::unique_ptr<PostedDelivery> record;
        std::function<void()> job;
    };

    void push(Task task)
    {
        {
            std::lock_guard guard(mutex_);
            tasks_.push_back(std::move(task));
        }
        wake_.notify_all();
    }

    void loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            Task task = std::move(tasks_.front());
            tasks_.pop_front();
            busy_ = true;
            lock.unlock();
            if (task.record) {
                deliverPosted(std::move(task.record));
            } else if (task.job) {
                task.job();
            }
            task = Task{};
            lock.lock();
            busy_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

// Waits until no notification worker runs (every queued notification has been handled).
inline bool waitWorkerIdle()
{
    return ShapeRegistry::waitUntilIdle(kWaitLimit);
}

// Waits until both the worker and the given UI thread have nothing left to do.
inline bool waitAllIdle(UiThread& ui)
{
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!waitWorkerIdle() || !ui.waitIdle()) {
            return false;
        }
        if (!ShapeRegistry::workerRunning() && ui.idleNow()) {
            return true;
        }
    }
    return false;
}

// A gate a callback can wait at until the test opens it.
class Gate {
public:
    void open()
    {
        {
            std::lock_guard guard(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }

    void markReached()
    {
        {
            std::lock_guard guard(mutex_);
            reached_ = true;
        }
        changed_.notify_all();
    }

    void pass()
    {
        markReached();
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, kWaitLimit, [&] { return open_; });
    }

    bool waitReached()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kWaitLimit, [&] { return reached_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool reached_ = false;
};

}  // namespace shapetest
