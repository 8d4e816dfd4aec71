#include "ui/hook/KeyHandoff.h"

#include <QCoreApplication>
#include <QMetaObject>

KeyHandoff::Answer KeyHandoff::offer(unsigned message, const KeyHookEvent& event)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        return Answer::Cancelled;
    }
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard guard(shared_->mutex);
        if (shared_->cancel) {
            return Answer::Cancelled;
        }
        shared_->waiting = pending;
    }
    std::weak_ptr<Shared> weakShared = shared_;
    QMetaObject::invokeMethod(
        app,
        [weakShared, pending, message, event] {
            const auto shared = weakShared.lock();
            if (!shared) {
                return;
            }
            {
                std::lock_guard guard(shared->mutex);
                if (shared->cancel) {
                    return;
                }
            }
            {
                std::lock_guard guard(pending->mutex);
                if (pending->done) {
                    return;  // the backend stopped waiting; the key has gone on
                }
            }
            const bool swallowed = offerKeyToChain(HC_ACTION, message, event);
            std::lock_guard guard(pending->mutex);
            if (!pending->done) {
                pending->done = true;
                pending->swallowed = swallowed;
                pending->answered.notify_all();
            }
        },
        Qt::QueuedConnection);

    std::unique_lock lock(pending->mutex);
    const bool inTime = pending->answered.wait_for(lock, timeout_, [&] {
        if (pending->done) {
            return true;
        }
        std::lock_guard guard(shared_->mutex);
        return shared_->cancel;
    });
    const bool answered = pending->done;
    pending->done = true;  // a late answer is not used
    lock.unlock();
    {
        std::lock_guard guard(shared_->mutex);
        shared_->waiting.reset();
        if (!answered && shared_->cancel) {
            return Answer::Cancelled;
        }
    }
    if (!inTime || !answered) {
        return Answer::TimedOut;
    }
    return pending->swallowed ? Answer::Swallowed : Answer::Passed;
}

void KeyHandoff::cancel()
{
    std::shared_ptr<Pending> waiting;
    {
        std::lock_guard guard(shared_->mutex);
        shared_->cancel = true;
        waiting = shared_->waiting;
    }
    if (waiting) {
        std::lock_guard guard(waiting->mutex);
        waiting->answered.notify_all();
    }
}

void KeyHandoff::reset()
{
    std::lock_guard guard(shared_->mutex);
    shared_->cancel = false;
}
