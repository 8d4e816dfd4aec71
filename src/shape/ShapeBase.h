#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <typeindex>

class ShapeBase;
class IDeliveryPoster;

// Notification flags carried by every notifying write.
inline constexpr uint32_t kNotifySelf = 1;      // the writer's own callback runs too
inline constexpr uint32_t kNotifyCopy = 2;      // other members copy the snapshot's array and index
inline constexpr uint32_t kNotifyOnChange = 4;  // callbacks run when the delivery changed the value
inline constexpr uint32_t kNotifyForce = 8;     // notify and call back even when nothing changed

// Flags of the (self, force) overloads: copy + callback on change, plus self and force.
constexpr uint32_t notifyFlags(bool self, bool force)
{
    return kNotifyCopy | kNotifyOnChange | (self ? kNotifySelf : 0u) | (force ? kNotifyForce : 0u);
}

namespace detail {

// Identity and instance lock of one Shape, shared with the registry and posted records so that
// a delivery can tell whether its target still exists without touching a destroyed object.
struct ShapeCore {
    using DeliverFn = uint8_t (*)(ShapeBase& target, const ShapeBase& source, uint32_t oldLength,
                                  uint32_t oldIndex, int param, uint32_t flags);
    using ElementsFn = const void* (*)(const ShapeBase& shape);

    std::recursive_mutex lock;      // the instance lock
    ShapeBase* shape = nullptr;
    DeliverFn deliver = nullptr;    // non-virtual entry: safe while the target's destructor waits
    ElementsFn elements = nullptr;  // non-virtual read of the element array
    bool alive = true;              // cleared under this lock when the instance is destroyed
    bool member = false;            // joined a channel (registry lock)
    uint64_t joinSequence = 0;      // order of joining (registry lock)
};

}  // namespace detail

// Polymorphic base of every Shape: channel identity, length, cursor, owner and instance lock.
class ShapeBase {
public:
    // The cursor of a Shape: its owning Shape and the current index.
    class Selection {
    public:
        explicit Selection(ShapeBase& shape) : shape_(&shape) {}
        virtual ~Selection() = default;
        Selection(const Selection&) = delete;
        Selection& operator=(const Selection&) = delete;

        // Moves the cursor and notifies (flags 6, +1 self, +8 force). 0 when index is not below
        // the length; 1 otherwise (without notifying when unchanged and not forced).
        virtual uint8_t select(uint32_t index, int param, bool self, bool force);

        ShapeBase& shape() const { return *shape_; }
        uint32_t index() const { return index_; }
        // Direct write of the index: no notification, no range check.
        void setIndex(uint32_t index) { index_ = index; }

    private:
        ShapeBase* shape_;
        uint32_t index_ = 0;
    };

    // A hook that may take over deliveries to the Shapes of one owner.
    class IHookerProxy {
    public:
        using Context = IDeliveryPoster*;
        virtual ~IHookerProxy() = default;
        // Offers one delivery; non-zero when the hook has taken it over.
        virtual int onDelivery(const ShapeBase& snapshot, ShapeBase& target, uint32_t oldLength,
                               uint32_t oldIndex, int param, uint32_t flags) = 0;
    };

    // Implements a hook interface with a context value and a function called with the
    // delivery's arguments and the context.
    template <class Proxy>
    class HookerListener : public Proxy {
    public:
        using Context = typename Proxy::Context;
        using Function = int (*)(const ShapeBase& snapshot, ShapeBase& target, uint32_t oldLength,
                                 uint32_t oldIndex, int param, uint32_t flags, Context context);

        HookerListener(Function function, Context context) : function_(function), context_(context) {}

        int onDelivery(const ShapeBase& snapshot, ShapeBase& target, uint32_t oldLength, uint32_t oldIndex,
                       int param, uint32_t flags) override
        {
            return function_(snapshot, target, oldLength, oldIndex, param, flags, context_);
        }

    private:
        Function function_;
        Context context_;
    };

    virtual ~ShapeBase();
    ShapeBase& operator=(const ShapeBase&) = delete;

    // Untyped element array, null when empty (ShapeBody offers the typed `data`).
    virtual const void* untypedData() const { return nullptr; }
    // Address of the receive-suppression flag; non-zero stops deliveries of other members' writes.
    virtual int32_t* suppressFlag() { return &suppress_; }
    // Takes a delivery from `source`; 1 when the value or index changed.
    virtual uint8_t deliver(const ShapeBase& source, uint32_t oldLength, uint32_t oldIndex, int param,
                            uint32_t flags);
    // New snapshot of `source` (null: of this instance), belonging to no channel.
    virtual std::unique_ptr<ShapeBase> clone(const ShapeBase* source) const;
    // Queues `snapshot` for the channel (private instance: delivers to itself at once when self).
    virtual void post(std::unique_ptr<ShapeBase> snapshot, uint32_t oldLength, uint32_t oldIndex, int param,
                      uint32_t flags) = 0;
    // Posts a snapshot of the unchanged state with `flags` (nothing when flags is 0).
    virtual void notify(int param, uint32_t flags) = 0;
    // notify with 7, or 15 when forced.
    virtual void notifyAll(int param, bool force) = 0;
    // mode 1: own callback at once with the current value; otherwise own callback later, nobody else's.
    virtual void refresh(int param, int mode) = 0;
    // notify with 6, or 14 when forced.
    virtual void notifyOthers(int param, bool force) = 0;

    std::type_index typeName() const { return typeName_; }
    int32_t channelId() const { return channelId_; }
    uint32_t length() const { return length_; }
    uint32_t index() const { return selection_.index(); }
    Selection& selection() { return selection_; }
    const Selection& selection() const { return selection_; }
    // The object callbacks are called on; null until bind. Hooks are looked up by it.
    const void* owner() const { return owner_; }

protected:
    ShapeBase(int32_t channelId, std::type_index typeName);
    // Copies channel id and type name only; a copy has its own lock, no owner and no channel.
    ShapeBase(const ShapeBase& other);

    std::recursive_mutex& instanceLock() const { return core_->lock; }
    static std::recursive_mutex& lockOf(const ShapeBase& shape) { return shape.core_->lock; }

    std::type_index typeName_;
    int32_t channelId_;
    uint32_t length_ = 0;
    Selection selection_;
    const void* owner_ = nullptr;
    int32_t suppress_ = 0;
    std::shared_ptr<detail::ShapeCore> core_;

private:
    friend class ShapeRegistry;
    friend class PostedDelivery;
};
