#pragma once

#include <cstdint>
#include <memory>

#include "shape/ShapeBase.h"

// A delivery handed to an owner's UI thread; owned by the receiver until deliverPosted.
class PostedDelivery {
public:
    PostedDelivery(ShapeBase& target, std::unique_ptr<ShapeBase> snapshot, int param, uint32_t oldLength,
                   uint32_t oldIndex, uint32_t flags);

    ShapeBase* target() const { return target_; }
    const ShapeBase* snapshot() const { return snapshot_.get(); }
    int param() const { return param_; }
    uint32_t oldLength() const { return oldLength_; }
    uint32_t oldIndex() const { return oldIndex_; }
    uint32_t flags() const { return flags_; }

private:
    friend void deliverPosted(std::unique_ptr<PostedDelivery> record);

    ShapeBase* target_;
    std::shared_ptr<detail::ShapeCore> targetCore_;  // tells whether the target still exists
    std::unique_ptr<ShapeBase> snapshot_;
    int param_;
    uint32_t oldLength_;
    uint32_t oldIndex_;
    uint32_t flags_;
};

// Carries posted deliveries to one UI thread.
class IDeliveryPoster {
public:
    virtual ~IDeliveryPoster() = default;
    // Queues `record` for the UI thread, which hands it to deliverPosted; records keep posting order.
    // Called on the notification worker; must not block on the UI thread.
    virtual void postDelivery(std::unique_ptr<PostedDelivery> record) = 0;
};

// Routes all later deliveries to Shapes bound to `owner` through `poster` (null: deliver directly).
// Replaces an earlier hook of the same owner; when it returns the old poster is no longer used.
// `owner` is the pointer given to bind; a null owner is ignored.
void registerHook(const void* owner, IDeliveryPoster* poster);

// Removes the hook of `owner`; when it returns, the worker no longer uses that hook's poster.
void unregisterHook(const void* owner);

// On the UI thread: delivers `record` to its target when the target still exists, then frees it.
void deliverPosted(std::unique_ptr<PostedDelivery> record);

// The hook function: posts a fresh clone of `snapshot` for `target` through `poster`; 0 when
// there is no poster (the worker then delivers directly), 1 otherwise.
int postToWindow(const ShapeBase& snapshot, ShapeBase& target, uint32_t oldLength, uint32_t oldIndex, int param,
                 uint32_t flags, IDeliveryPoster* poster);
