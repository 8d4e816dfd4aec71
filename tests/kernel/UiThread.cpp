#include "UiThread.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

UiThread::UiThread(std::unique_ptr<HidNoticeSource> source, NoticeHandler handler)
    : source_(std::move(source)), handler_(std::move(handler)),
      wakeDescriptor_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), thread_([this] { loop(); })
{
}

UiThread::~UiThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    ::close(wakeDescriptor_);
}

void UiThread::run(std::function<void()> task)
{
    bool done = false;
    std::unique_lock lock(mutex_);
    tasks_.push_back([&] {
        task();
        std::lock_guard doneLock(mutex_);
        done = true;
        changed_.notify_all();
    });
    lock.unlock();
    wake();
    lock.lock();
    changed_.wait(lock, [&] { return done; });
}

std::vector<HidNotice> UiThread::notices() const
{
    std::lock_guard lock(mutex_);
    return notices_;
}

bool UiThread::waitForNotices(std::size_t count, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return notices_.size() >= count; });
}

void UiThread::wake()
{
    while (::eventfd_write(wakeDescriptor_, 1) != 0 && errno == EINTR) {
    }
}

void UiThread::loop()
{
    for (;;) {
        pollfd waitSet[] = {{wakeDescriptor_, POLLIN, 0}, {source_ ? source_->fd() : -1, POLLIN, 0}};
        const int ready = ::poll(waitSet, source_ ? 2 : 1, -1);
        if (ready < 0 && errno != EINTR)
            return;
        eventfd_t drained;
        while (::eventfd_read(wakeDescriptor_, &drained) == 0) {
        }
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            tasks.swap(tasks_);
        }
        for (auto& task : tasks)
            task();
        while (source_) {
            const std::optional<HidNotice> notice = source_->nextNotice();
            if (!notice)
                break;
            handler_(*notice);
            std::lock_guard lock(mutex_);
            notices_.push_back(*notice);
            changed_.notify_all();
        }
    }
}
