#include "shape/ShapeBase.h"

ShapeBase::ShapeBase(int32_t channelId, std::type_index typeName)
    : typeName_(typeName), channelId_(channelId), selection_(*this), core_(std::make_shared<detail::ShapeCore>())
{
    core_->shape = this;
}

ShapeBase::ShapeBase(const ShapeBase& other)
    : typeName_(other.typeName_),
      channelId_(other.channelId_),
      selection_(*this),
      core_(std::make_shared<detail::ShapeCore>())
{
    core_->shape = this;
}

ShapeBase::~ShapeBase() = default;

uint8_t ShapeBase::deliver(const ShapeBase&, uint32_t, uint32_t, int, uint32_t)
{
    return 0;
}

std::unique_ptr<ShapeBase> ShapeBase::clone(const ShapeBase*) const
{
    return nullptr;
}

uint8_t ShapeBase::Selection::select(uint32_t index, int param, bool self, bool force)
{
    ShapeBase& shape = *shape_;
    std::lock_guard guard(shape.instanceLock());
    if (index >= shape.length_) {
        return 0;
    }
    if (!force && index == index_) {
        return 1;
    }
    const uint32_t oldIndex = index_;
    index_ = index;
    shape.post(shape.clone(nullptr), shape.length_, oldIndex, param, notifyFlags(self, force));
    return 1;
}
