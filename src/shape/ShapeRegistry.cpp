#include "shape/ShapeRegistry.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "shape/ShapeException.h"
#include "shape/ShapeHook.h"

struct ShapeRegistry::Notification {
    std::shared_ptr<detail::ShapeCore> writer;  // identity only
    std::unique_ptr<ShapeBase> snapshot;
    int param = 0;
    uint32_t oldLength = 0;
    uint32_t oldIndex = 0;
    uint32_t flags = 0;
};

namespace {

using ChannelKey = std::pair<int32_t, std::type_index>;
using MemberList = std::vector<std::shared_ptr<detail::ShapeCore>>;
using Hook = ShapeBase::HookerListener<ShapeBase::IHookerProxy>;

// Lock order: an instance lock, then hookCallLock, then lock. `lock` is held
// only for short table operations, never while calling out.
struct Registry {
    std::mutex lock;          // the registry lock: channels, pending, workerRunning, hooks
    std::condition_variable workerGone;  // signalled under `lock` when workerRunning turns false
    std::mutex hookCallLock;  // held while a hook runs, so a replaced hook is never in use
    std::map<ChannelKey, MemberList> channels;
    std::deque<std::unique_ptr<ShapeRegistry::Notification>> pending;
    bool workerRunning = false;
    uint64_t nextJoinSequence = 1;
    std::unordered_map<const void*, std::unique_ptr<ShapeBase::IHookerProxy>> hooks;
};

// Never destroyed: a worker may still run while the process exits.
Registry& registry()
{
    static Registry* const instance = new Registry;
    return *instance;
}

ChannelKey keyOf(const ShapeBase& shape)
{
    return {shape.channelId(), shape.typeName()};
}

// The earliest member that joined after `passed`, or null.
std::shared_ptr<detail::ShapeCore> nextMember(Registry& r, const ChannelKey& key, uint64_t passed)
{
    std::lock_guard guard(r.lock);
    const auto channel = r.channels.find(key);
    if (channel == r.channels.end()) {
        return nullptr;
    }
    for (const auto& member : channel->second) {
        if (member->joinSequence > passed) {
            return member;
        }
    }
    return nullptr;
}

}  // namespace

void ShapeRegistry::join(ShapeBase& shape, TakeOver takeOver)
{
    Registry& r = registry();
    const ChannelKey key = keyOf(shape);
    auto append = [&r, &shape](MemberList& members) {
        shape.core_->member = true;
        shape.core_->joinSequence = r.nextJoinSequence++;
        members.push_back(shape.core_);
    };
    for (;;) {
        std::shared_ptr<detail::ShapeCore> first;
        {
            std::lock_guard guard(r.lock);
            MemberList& members = r.channels[key];
            if (members.empty()) {
                takeOver(shape, false, nullptr, 0);
                append(members);
                return;
            }
            first = members.front();
        }
        // The earliest member stays locked until the new one is listed, so every later write to it
        // is also delivered to the new member.
        std::lock_guard firstGuard(first->lock);
        std::lock_guard guard(r.lock);
        MemberList& members = r.channels[key];
        if (!members.empty() && members.front() == first) {
            takeOver(shape, true, first->elements(*first->shape), first->shape->length());
            append(members);
            return;
        }
    }
}

void ShapeRegistry::leave(ShapeBase& shape)
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    detail::ShapeCore& core = *shape.core_;
    core.alive = false;
    if (!core.member) {
        return;
    }
    const auto channel = r.channels.find(keyOf(shape));
    if (channel != r.channels.end()) {
        std::erase(channel->second, shape.core_);
    }
    core.member = false;
}

void ShapeRegistry::enqueue(ShapeBase& writer, std::unique_ptr<ShapeBase> snapshot, uint32_t oldLength,
                            uint32_t oldIndex, int param, uint32_t flags)
{
    if (!snapshot) {
        return;
    }
    auto record = std::make_unique<Notification>();
    record->writer = writer.core_;
    record->snapshot = std::move(snapshot);
    record->param = param;
    record->oldLength = oldLength;
    record->oldIndex = oldIndex;
    record->flags = flags;

    Registry& r = registry();
    std::deque<std::unique_ptr<Notification>> discarded;  // destroyed after the lock is released
    std::lock_guard guard(r.lock);
    r.pending.push_back(std::move(record));
    if (r.workerRunning) {
        return;
    }
    try {
        std::thread(&ShapeRegistry::runWorker).detach();
        r.workerRunning = true;
    } catch (const std::system_error&) {
        // No worker: every pending notification is dropped; a later write tries again.
        discarded.swap(r.pending);
    }
}

bool ShapeRegistry::workerRunning()
{
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    return r.workerRunning;
}

bool ShapeRegistry::waitUntilIdle(std::chrono::milliseconds limit)
{
    Registry& r = registry();
    std::unique_lock guard(r.lock);
    return r.workerGone.wait_for(guard, limit, [&r] { return !r.workerRunning; });
}

void ShapeRegistry::runWorker()
{
    Registry& r = registry();
    for (;;) {
        std::unique_ptr<Notification> record;
        {
            std::lock_guard guard(r.lock);
            if (r.pending.empty()) {
                // Decided under the lock: a write queued after this starts a new worker.
                r.workerRunning = false;
                r.workerGone.notify_all();
                return;
            }
            record = std::move(r.pending.front());
            r.pending.pop_front();
        }
        deliverToChannel(*record);
    }
}

void ShapeRegistry::deliverToChannel(const Notification& record)
{
    Registry& r = registry();
    const ChannelKey key = keyOf(*record.snapshot);
    uint64_t passed = 0;
    while (const std::shared_ptr<detail::ShapeCore> target = nextMember(r, key, passed)) {
        passed = target->joinSequence;
        deliverToMember(record, *target);
    }
}

void ShapeRegistry::deliverToMember(const Notification& record, detail::ShapeCore& target)
{
    const bool isWriter = &target == record.writer.get();
    uint32_t flags = 0;
    if (isWriter) {
        if ((record.flags & kNotifySelf) == 0) {
            return;
        }
        flags = (record.flags & ~kNotifyCopy) | kNotifyOnChange;
    } else {
        flags = record.flags & ~kNotifySelf;
    }
    if (flags == 0) {
        return;
    }

    Registry& r = registry();
    std::lock_guard instanceGuard(target.lock);
    if (!target.alive) {
        return;
    }
    ShapeBase& shape = *target.shape;
    const uint32_t oldLength = isWriter ? record.oldLength : shape.length();
    const uint32_t oldIndex = isWriter ? record.oldIndex : shape.index();
    if (const void* owner = shape.owner()) {
        std::lock_guard hookGuard(r.hookCallLock);
        ShapeBase::IHookerProxy* hook = nullptr;
        {
            std::lock_guard guard(r.lock);
            const auto found = r.hooks.find(owner);
            if (found != r.hooks.end()) {
                hook = found->second.get();
            }
        }
        if (hook != nullptr &&
            hook->onDelivery(*record.snapshot, shape, oldLength, oldIndex, record.param, flags) != 0) {
            return;
        }
    }
    if (!isWriter && shape.suppress_ != 0) {
        return;
    }
    try {
        target.deliver(shape, *record.snapshot, oldLength, oldIndex, record.param, flags);
    } catch (const ShapeException&) {
        // A callback's failed element access ends that delivery, not the worker.
    }
}

void registerHook(const void* owner, IDeliveryPoster* poster)
{
    if (owner == nullptr) {
        return;
    }
    auto hook = std::make_unique<Hook>(&postToWindow, poster);
    std::unique_ptr<ShapeBase::IHookerProxy> replaced;  // destroyed after the locks are released
    Registry& r = registry();
    std::lock_guard hookGuard(r.hookCallLock);
    std::lock_guard guard(r.lock);
    auto& slot = r.hooks[owner];
    replaced = std::move(slot);
    slot = std::move(hook);
}

void unregisterHook(const void* owner)
{
    std::unique_ptr<ShapeBase::IHookerProxy> removed;
    Registry& r = registry();
    std::lock_guard hookGuard(r.hookCallLock);
    std::lock_guard guard(r.lock);
    const auto found = r.hooks.find(owner);
    if (found != r.hooks.end()) {
        removed = std::move(found->second);
        r.hooks.erase(found);
    }
}
