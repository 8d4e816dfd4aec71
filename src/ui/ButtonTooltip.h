#pragma once

#include "ui/widgets/CoordButtonItem.h"

#include <QObject>

#include <functional>
#include <string>

class CoordButtonImage;

// Gives the mouse picture a tooltip per button, with text made on demand
// when the tooltip is due; empty text shows none.
class ButtonTooltip : public QObject {
public:
    using TextOf = std::function<std::wstring(const CoordButtonItem& item)>;

    ButtonTooltip(CoordButtonImage& picture, TextOf textOf);

    // The tooltip text at a point relative to the picture; empty off the buttons.
    std::wstring textAt(const QPoint& point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CoordButtonImage& picture_;
    TextOf textOf_;
};
