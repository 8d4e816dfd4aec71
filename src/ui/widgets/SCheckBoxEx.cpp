#include "ui/widgets/SCheckBoxEx.h"

#include <QPainter>

SCheckBoxEx::SCheckBoxEx(QWidget* parent) : SCheckBox(parent) {}

AttrResult SCheckBoxEx::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = iconText_.apply(name, value)) {
        if (!loading)
            update();
        return *result;
    }
    return SCheckBox::setAttribute(name, value, loading);
}

QRect SCheckBoxEx::clientRect() const
{
    return rect().marginsRemoved(padding());
}

// Pushed 2, hover 1, checked the skin's last state, else 0.
int SCheckBoxEx::backgroundState() const
{
    if (isPushed())
        return 2;
    if (isHover())
        return 1;
    if (isChecked())
        return skin()->states() - 1;
    return 0;
}

void SCheckBoxEx::onPaint(QPainter& painter)
{
    const QRect client = clientRect();
    if (skin())
        skin()->draw(painter, client, backgroundState());
    // Without the base's skin there is no check state to show the icon in.
    if (iconText_.iconSkin && skin()) {
        const QRect icon(client.topLeft() + iconText_.iconPos, iconText_.iconSize());
        iconText_.iconSkin->draw(painter, icon, checkState8());
    }
    drawText(painter, textRect());
}

QRect SCheckBoxEx::textRect() const
{
    QRect text = clientRect();
    text.setLeft(text.left() + iconText_.iconPos.x() + iconText_.iconSize().width() + iconText_.textX);
    text.setTop(text.top() + iconText_.iconPos.y() + iconText_.textY);
    return text;
}

QSize SCheckBoxEx::sizeHint() const
{
    if (skin())
        return skin()->size();
    return SWindow::sizeHint();
}
