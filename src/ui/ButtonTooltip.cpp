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
    if (watched != picture_ || event->type() != QEvent::ToolTip) {
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
