#pragma once

#include "ui/widgets/CoordButtonItem.h"

#include <vector>

// Told of presses on the items of a CoordButtonImage.
class ICoordButtonListener {
public:
    virtual ~ICoordButtonListener() = default;

    // Phase 0: the left button went down on the item; 0 lets the picture
    // apply its selection mode, anything else stops it. Phase 1: the button
    // came up over the item where it went down; the result is not used.
    // x and y are relative to the widget; keyFlags are MK_* flags.
    virtual int onCoordButton(int id, const CoordButtonItem& item, int phase, unsigned keyFlags, int x, int y) = 0;
    // The marked items, as copies, in id order.
    virtual void onSelectionChanged(const std::vector<CoordButtonItem>& marked) { static_cast<void>(marked); }
};
