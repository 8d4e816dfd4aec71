#pragma once

#include "ui/widgets/CoordButtonItem.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class CoordButtonImage;

// Gives the mouse picture a tooltip per button, with text made on demand
// when the tooltip is due; empty text shows none. It has no Qt parent: its
// creator owns it, since the text callback usually refers to the creator.
// It may outlive the picture and then does nothing.
class ButtonTooltip : public QObject {
public:
    using TextOf = std::function<std::wstring(const CoordButtonItem& item)>;

    ButtonTooltip(CoordButtonImage& picture, TextOf textOf);

    // The tooltip text at a point relative to the picture; empty off the buttons.
    std::wstring textAt(const QPoint& point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<CoordButtonImage> picture_;
    TextOf textOf_;
};
