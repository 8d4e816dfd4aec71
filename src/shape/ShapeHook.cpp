#include "shape/ShapeHook.h"

#include <mutex>
#include <utility>

PostedDelivery::PostedDelivery(ShapeBase& target, std::unique_ptr<ShapeBase> snapshot, int param,
                               uint32_t oldLength, uint32_t oldIndex, uint32_t flags)
    : target_(&target),
      targetCore_(target.core_),
      snapshot_(std::move(snapshot)),
      param_(param),
      oldLength_(oldLength),
      oldIndex_(oldIndex),
      flags_(flags)
{
}

int postToWindow(const ShapeBase& snapshot, ShapeBase& target, uint32_t oldLength, uint32_t oldIndex, int param,
                 uint32_t flags, IDeliveryPoster* poster)
{
    if (poster == nullptr) {
        return 0;
    }
    poster->postDelivery(
        std::make_unique<PostedDelivery>(target, snapshot.clone(nullptr), param, oldLength, oldIndex, flags));
    return 1;
}

void deliverPosted(std::unique_ptr<PostedDelivery> record)
{
    if (!record || !record->snapshot_) {
        return;
    }
    detail::ShapeCore& target = *record->targetCore_;
    std::lock_guard guard(target.lock);
    if (!target.alive) {
        return;  // the target was destroyed after the record was posted
    }
    target.deliver(*target.shape, *record->snapshot_, record->oldLength_, record->oldIndex_, record->param_,
                   record->flags_);
}
