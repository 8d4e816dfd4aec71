#pragma once

#include "hid/HidNoticeSource.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Stands in for the main window's thread: watches a notice source and hands
// every notice to a handler, and runs posted tasks, all on one thread of its
// own, in the order they come.
class UiThread {
public:
    using NoticeHandler = std::function<void(const HidNotice&)>;

    // A null source gives a thread that only runs tasks.
    UiThread(std::unique_ptr<HidNoticeSource> source, NoticeHandler handler);
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Runs task on the thread and returns when it has run.
    void run(std::function<void()> task);

    // Every notice handed to the handler so far.
    std::vector<HidNotice> notices() const;
    // Waits until `count` notices have been handled; false after `limit`.
    bool waitForNotices(std::size_t count, std::chrono::milliseconds limit);

private:
    void loop();
    void wake();

    std::unique_ptr<HidNoticeSource> source_;
    NoticeHandler handler_;
    int wakeDescriptor_ = -1;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    std::vector<HidNotice> notices_;
    bool stopping_ = false;
    std::thread thread_;
};
