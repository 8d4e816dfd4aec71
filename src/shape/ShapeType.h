#pragma once

#include <cstdint>

#include "shape/ShapeBody.h"
#include "shape/ShapeRegistry.h"

// A Shape value: element type T, channel id ID (0 or more joins channel (ID, T); negative is
// private), initial length N, zero-fill flag Z. Construction joins the channel and starts with
// the earliest member's array (index 0), or with N reset elements when it is the first member.
// Joining notifies nobody. It waits while a delivery to the earliest member is in progress.
template <class T, int ID, uint32_t N, int Z>
class ShapeType : public ShapeBody<T, ID, Z> {
public:
    ShapeType()
    {
        if constexpr (ID < 0) {
            this->assignUnlocked(nullptr, N, 0);
        } else {
            ShapeRegistry::join(*this, &takeOver);
        }
    }

private:
    static void takeOver(ShapeBase& joining, bool hasMember, const void* elements, uint32_t length)
    {
        auto& self = static_cast<ShapeType&>(joining);
        if (hasMember) {
            self.assignUnlocked(static_cast<const T*>(elements), length, 0);
        } else {
            self.assignUnlocked(nullptr, N, 0);
        }
    }
};
