#include "ui/ButtonTooltip.h"

#include "ui/widgets/CoordButtonImage.h"

#include <QHelpEvent>
#include <QToolTip>

ButtonTooltip::ButtonTooltip(CoordButtonImage& picture, TextOf textOf)
    : picture_(&picture), textOf_(std::move(textOf))
{
    picture.installEventFilter(this);
}

std::wstring ButtonTooltip::textAt(const QPoint& point) const
{
    if (!picture_) {
        return {};
    }
    for (const auto& [id, item] : picture_->items()) {
        if (item.rect.contains(point.x(), point.y())) {
            return textOf_(item);
        }
    }
    return {};
}

bool ButtonTooltip::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: while the picture is being destroyed it still sends
    // events here, and it is then no longer a CoordButtonImage to compare with.
    if (event->type() != QEvent::ToolTip || watched != picture_) {
        return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::wstring text = textAt(help->pos());
    if (text.empty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), QString::fromStdWString(text), picture_);
    }
    return true;
}
