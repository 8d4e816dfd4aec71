#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "shape/ShapeBase.h"

// The process-wide channel registry: member lists keyed by (channel id, element type), the pending
// queue, the on-demand notification worker and the hook table. Created on first use, never torn down.
class ShapeRegistry {
public:
    // A queued notification: writer, snapshot, param, old length, old index, flags.
    struct Notification;

    // Initialises the joining instance from the earliest member's elements, or with its initial
    // array when the channel has no member.
    using TakeOver = void (*)(ShapeBase& joining, bool hasMember, const void* elements, uint32_t length);

    // Adds `shape` at the end of its channel after `takeOver` initialised it; the earliest member
    // is locked meanwhile so that none of its writes is missed.
    static void join(ShapeBase& shape, TakeOver takeOver);

    // Removes `shape` from its channel if it is a member; the caller holds its instance lock.
    static void leave(ShapeBase& shape);

    // Queues a notification written by `writer` and starts the worker when none runs.
    static void enqueue(ShapeBase& writer, std::unique_ptr<ShapeBase> snapshot, uint32_t oldLength,
                        uint32_t oldIndex, int param, uint32_t flags);

    // True while a notification worker exists (there is pending or running work).
    static bool workerRunning();
    // Blocks until no worker exists or `limit` has passed; true when idle.
    // Never call it from a callback the worker runs: it would wait for itself.
    static bool waitUntilIdle(std::chrono::milliseconds limit);

private:
    static void runWorker();
    static void deliverToChannel(const Notification& record);
    static void deliverToMember(const Notification& record, detail::ShapeCore& target);
};
