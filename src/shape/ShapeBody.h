#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "shape/ShapeBase.h"
#include "shape/ShapeException.h"
#include "shape/ShapeRegistry.h"

// Storage and behaviour of a Shape: an owned array of T with a cursor, a bound callback and the
// notifying writes. A bare ShapeBody joins no channel (snapshots are ShapeBodies).
//
// Threading: every write below takes the instance lock (recursive, so a callback may write its
// own Shape). Reads and direct writes through data()/current() take none: each instance is read
// and written directly only on the thread that receives its deliveries.
template <class T, int ID, int Z>
class ShapeBody : public ShapeBase {
    static_assert(Z == 0 || Z == 1, "the zero-fill flag is 0 or 1");
    static_assert(Z == 0 || std::is_trivially_copyable_v<T>,
                  "a zero-fill reset clears bytes, so the element type must be trivially copyable");

public:
    using Element = T;
    // (channel id, delivered elements, delivered length, old length, delivered index, old index, param)
    using Callback = std::function<void(int, const T*, uint32_t, uint32_t, uint32_t, uint32_t, int)>;

    ShapeBody() : ShapeBase(ID, typeid(T)) { installEntries(); }

    // Copies array and index (not owner or callback); only private instances are copied.
    ShapeBody(const ShapeBody& other) : ShapeBase(other), items_(other.items_)
    {
        static_assert(ID < 0, "only private instances can be copied");
        installEntries();
        syncLength();
        selection_.setIndex(other.index());
    }

    ShapeBody& operator=(const ShapeBody& other)
    {
        static_assert(ID < 0, "only private instances can be copied");
        if (this != &other) {
            std::lock_guard guard(instanceLock());
            items_ = other.items_;
            syncLength();
            selection_.setIndex(other.index());
        }
        return *this;
    }

    // Leaves the channel (waiting for a delivery in progress) and destroys the elements.
    ~ShapeBody() override
    {
        std::lock_guard guard(instanceLock());
        if constexpr (ID >= 0) {
            ShapeRegistry::leave(*this);
        }
        core_->alive = false;
        std::vector<T>().swap(items_);
        length_ = 0;
    }

    // Equal when index, length and every element are equal.
    bool operator==(const ShapeBody& other) const
    {
        return index() == other.index() && items_ == other.items_;
    }

    // --- Reading ---------------------------------------------------------------------------

    // Element array, null when empty.
    T* data() { return items_.empty() ? nullptr : items_.data(); }
    const T* data() const { return items_.empty() ? nullptr : items_.data(); }

    // The current element; throws ShapeException when the index is not below the length.
    T& current() { return items_[checkedIndex(index())]; }
    const T& current() const { return items_[checkedIndex(index())]; }

    // Element i (negative: the current one); throws ShapeException when out of range.
    T& at(int32_t i) { return items_[checkedIndex(resolve(i))]; }
    const T& at(int32_t i) const { return items_[checkedIndex(resolve(i))]; }

    // As at, but null instead of throwing.
    T* tryAt(int32_t i) { return resolve(i) < length_ ? &items_[resolve(i)] : nullptr; }
    const T* tryAt(int32_t i) const { return resolve(i) < length_ ? &items_[resolve(i)] : nullptr; }

    // --- Observing -------------------------------------------------------------------------

    // Stores owner and member-function callback (replacing earlier ones); with callNow calls it
    // once with (channel id, data, length, length, index, index, 0). Null owner or callback: no-op.
    // Callbacks may run until this instance is destroyed, so an owner destroys its Shapes before
    // the state its callbacks use. A callback must not destroy the instance it is called for.
    template <class Owner, class Target, class R>
        requires std::is_base_of_v<Target, Owner>
    void bind(Owner* owner, R (Target::*callback)(int, const T*, uint32_t, uint32_t, uint32_t, uint32_t, int),
              bool callNow)
    {
        if (owner == nullptr || callback == nullptr) {
            return;
        }
        std::lock_guard guard(instanceLock());
        owner_ = static_cast<const void*>(owner);
        callback_ = std::make_shared<const Callback>(
            [owner, callback](int channelId, const T* data, uint32_t length, uint32_t oldLength, uint32_t index,
                              uint32_t oldIndex, int param) {
                (owner->*callback)(channelId, data, length, oldLength, index, oldIndex, param);
            });
        if (callNow) {
            (*callback_)(channelId_, data(), length_, length_, index(), index(), 0);
        }
    }

    // --- ShapeBase operations --------------------------------------------------------------

    const void* untypedData() const override { return data(); }

    uint8_t deliver(const ShapeBase& source, uint32_t oldLength, uint32_t oldIndex, int param,
                    uint32_t flags) override
    {
        if (source.typeName() != typeName_) {
            return 0;
        }
        std::lock_guard guard(instanceLock());
        const T* sourceData = static_cast<const T*>(source.untypedData());
        const uint32_t sourceLength = source.length();
        const uint32_t sourceIndex = source.index();
        bool changed = false;
        if ((flags & kNotifyCopy) != 0) {
            if (!equalsArray(sourceData, sourceLength)) {
                assign(sourceData, sourceLength, 0);
                changed = true;
            }
            if (index() != sourceIndex) {
                selection_.setIndex(sourceIndex);
                changed = true;
            }
        }
        const bool forced = (flags & kNotifyForce) != 0;
        const bool onChange = (flags & kNotifyOnChange) != 0 && ((flags & kNotifyCopy) == 0 || changed);
        if (callback_ && (forced || onChange)) {
            // Held by value: the callback may bind again while it runs.
            const std::shared_ptr<const Callback> callback = callback_;
            (*callback)(channelId_, sourceData, sourceLength, oldLength, sourceIndex, oldIndex, param);
        }
        return changed ? 1 : 0;
    }

    std::unique_ptr<ShapeBase> clone(const ShapeBase* source) const override
    {
        const ShapeBase& from = source != nullptr ? *source : *this;
        if (from.typeName() != typeName_) {
            return nullptr;
        }
        std::lock_guard guard(lockOf(from));
        auto copy = std::make_unique<ShapeBody>();
        copy->channelId_ = from.channelId();
        copy->selection_.setIndex(from.index());
        copy->assignUnlocked(static_cast<const T*>(from.untypedData()), from.length(), 0);
        return copy;
    }

    void post(std::unique_ptr<ShapeBase> snapshot, uint32_t oldLength, uint32_t oldIndex, int param,
              uint32_t flags) override
    {
        if constexpr (ID < 0) {
            snapshot.reset();
            if ((flags & kNotifySelf) != 0) {
                deliver(*this, oldLength, oldIndex, param, kNotifyOnChange);
            }
        } else {
            ShapeRegistry::enqueue(*this, std::move(snapshot), oldLength, oldIndex, param, flags);
        }
    }

    void notify(int param, uint32_t flags) override
    {
        if (flags == 0) {
            return;
        }
        std::lock_guard guard(instanceLock());
        post(clone(nullptr), length_, index(), param, flags);
    }

    void notifyAll(int param, bool force) override { notify(param, notifyFlags(true, force)); }

    void notifyOthers(int param, bool force) override { notify(param, notifyFlags(false, force)); }

    void refresh(int param, int mode) override
    {
        std::lock_guard guard(instanceLock());
        if (mode == 1) {
            deliver(*this, length_, index(), param, kNotifyOnChange);
        } else {
            post(clone(nullptr), length_, index(), param, kNotifySelf);
        }
    }

    // --- Writing without notifying ---------------------------------------------------------

    // n = 0 empties; a source copies n elements (fill: n copies of source[0]); no source resets n
    // elements (zero bytes when Z = 1). The index is clamped to the new length.
    void assign(const T* source, uint32_t n, int fill)
    {
        std::lock_guard guard(instanceLock());
        assignUnlocked(source, n, fill);
    }

    // Stores value into the current element; throws ShapeException when there is none.
    void storeCurrent(const T& value)
    {
        std::lock_guard guard(instanceLock());
        current() = value;
    }

    // Appends n copies of value; the index stays.
    void appendFill(const T& value, uint32_t n)
    {
        std::lock_guard guard(instanceLock());
        const T copy = value;
        items_.insert(items_.end(), n, copy);
        syncLength();
    }

    // Appends source[0..n-1], or n reset elements when source is null; the index stays.
    void appendArray(const T* source, uint32_t n)
    {
        std::lock_guard guard(instanceLock());
        if (source != nullptr) {
            std::vector<T> added(source, source + n);
            items_.insert(items_.end(), added.begin(), added.end());
        } else {
            const std::size_t start = items_.size();
            items_.resize(start + n);
            zeroFill(start, n);
        }
        syncLength();
    }

    // Appends value as the last element; the index stays.
    void appendOne(const T& value)
    {
        std::lock_guard guard(instanceLock());
        items_.push_back(value);
        syncLength();
    }

    // n equals the length and source is this array or holds n equal elements.
    bool equalsArray(const T* source, uint32_t n) const
    {
        if (n != length_) {
            return false;
        }
        if (source == data()) {
            return true;
        }
        return source != nullptr && data() != nullptr && std::equal(items_.begin(), items_.end(), source);
    }

    // n equals the length, the array is present and every element equals value.
    bool isFilledWith(const T& value, uint32_t n) const
    {
        return n == length_ && !items_.empty() &&
               std::all_of(items_.begin(), items_.end(), [&value](const T& item) { return item == value; });
    }

    // The current element equals value; throws ShapeException when there is none.
    bool equalsCurrent(const T& value) const { return current() == value; }

    // --- Writing and notifying -------------------------------------------------------------

    // Stores value into the current element unless equal (without force returns when equal),
    // then posts a snapshot when flags is not 0. Throws ShapeException when there is no element.
    void setCurrent(const T& value, int param, uint32_t flags)
    {
        std::lock_guard guard(instanceLock());
        const bool equal = equalsCurrent(value);
        if (equal && (flags & kNotifyForce) == 0) {
            return;
        }
        const uint32_t oldLength = length_;
        const uint32_t oldIndex = index();
        if (!equal) {
            storeCurrent(value);
        }
        if (flags != 0) {
            post(clone(nullptr), oldLength, oldIndex, param, flags);
        }
    }

    void setCurrentValue(T value, int param, bool self, bool force)
    {
        setCurrent(value, param, notifyFlags(self, force));
    }

    void setCurrent(const T& value, int param, bool self, bool force)
    {
        setCurrent(value, param, notifyFlags(self, force));
    }

    // Replaces the array by source[0..n-1] unless equal (without force returns when equal),
    // then posts a snapshot with the length and index from before the write.
    void setArray(const T* source, uint32_t n, int param, uint32_t flags)
    {
        std::lock_guard guard(instanceLock());
        const bool equal = equalsArray(source, n);
        if (equal && (flags & kNotifyForce) == 0) {
            return;
        }
        const uint32_t oldLength = length_;
        const uint32_t oldIndex = index();
        if (!equal) {
            assignUnlocked(source, n, 0);
        }
        if (flags != 0) {
            post(clone(nullptr), oldLength, oldIndex, param, flags);
        }
    }

    // As setArray with n copies of value.
    void fillArray(const T& value, uint32_t n, int param, uint32_t flags)
    {
        std::lock_guard guard(instanceLock());
        const bool equal = isFilledWith(value, n);
        if (equal && (flags & kNotifyForce) == 0) {
            return;
        }
        const uint32_t oldLength = length_;
        const uint32_t oldIndex = index();
        if (!equal) {
            const T copy = value;
            assignUnlocked(&copy, n, 1);
        }
        if (flags != 0) {
            post(clone(nullptr), oldLength, oldIndex, param, flags);
        }
    }

    void fillArrayValue(T value, uint32_t n, int param, bool self, bool force)
    {
        fillArray(value, n, param, notifyFlags(self, force));
    }

    void setArray(const T* source, uint32_t n, int param, bool self, bool force)
    {
        setArray(source, n, param, notifyFlags(self, force));
    }

    void fillArray(const T& value, uint32_t n, int param, bool self, bool force)
    {
        fillArray(value, n, param, notifyFlags(self, force));
    }

protected:
    // assign without the instance lock: for an instance nobody else can see yet.
    void assignUnlocked(const T* source, uint32_t n, int fill)
    {
        if (n == 0) {
            std::vector<T>().swap(items_);
        } else if (source != nullptr) {
            if (source == data()) {
                // Assigning the array to itself changes nothing.
            } else if (fill != 0) {
                const T value = *source;
                items_.assign(n, value);
            } else if (n == items_.size()) {
                std::copy(source, source + n, items_.begin());
            } else {
                std::vector<T> fresh(source, source + n);
                items_.swap(fresh);
            }
        } else {
            if (n != items_.size()) {
                std::vector<T> fresh(n);
                items_.swap(fresh);
            }
            zeroFill(0, n);
        }
        syncLength();
        if (index() >= length_) {
            selection_.setIndex(length_ == 0 ? 0 : length_ - 1);
        }
    }

private:
    void installEntries()
    {
        core_->deliver = &deliverEntry;
        core_->elements = &elementsEntry;
    }

    // Entries reached through the instance's core: plain (non-virtual) calls, so they stay valid
    // while the instance's destructor waits for the instance lock.
    static uint8_t deliverEntry(ShapeBase& target, const ShapeBase& source, uint32_t oldLength, uint32_t oldIndex,
                                int param, uint32_t flags)
    {
        return static_cast<ShapeBody&>(target).ShapeBody::deliver(source, oldLength, oldIndex, param, flags);
    }

    static const void* elementsEntry(const ShapeBase& shape) { return static_cast<const ShapeBody&>(shape).data(); }

    void zeroFill(std::size_t start, std::size_t count)
    {
        if constexpr (Z == 1) {
            if (count != 0) {
                std::memset(static_cast<void*>(items_.data() + start), 0, count * sizeof(T));
            }
        }
    }

    void syncLength() { length_ = static_cast<uint32_t>(items_.size()); }

    uint32_t resolve(int32_t i) const { return i < 0 ? index() : static_cast<uint32_t>(i); }

    uint32_t checkedIndex(uint32_t i) const
    {
        if (i >= length_) {
            throw ShapeException::outOfRange(length_, i);
        }
        return i;
    }

    std::vector<T> items_;
    std::shared_ptr<const Callback> callback_;
};
