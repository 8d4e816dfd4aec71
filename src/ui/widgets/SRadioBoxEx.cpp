#include "ui/widgets/SRadioBoxEx.h"

#include "toolkit/AttributeTable.h"

#include <QPainter>

#include <algorithm>
#include <optional>

namespace {

// Exact names only: "Left" or " left" are not gravities.
std::optional<int> gravityByName(const std::wstring& value)
{
    if (value == L"left" || value == L"top")
        return SRadioBoxEx::GravityStart;
    if (value == L"center")
        return SRadioBoxEx::GravityCenter;
    if (value == L"right" || value == L"bottom")
        return SRadioBoxEx::GravityEnd;
    return std::nullopt;
}

} // namespace

SRadioBoxEx::SRadioBoxEx(QWidget* parent) : SRadioBox(parent) {}

AttrResult SRadioBoxEx::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = iconText_.apply(name, value)) {
        if (!loading)
            update();
        return *result;
    }
    if (attributeNameIs(name, L"gravity")) {
        const std::optional<int> gravity = gravityByName(value);
        if (!gravity)
            return AttrResult::Rejected;
        gravity_ = *gravity;
        return AttrResult::Applied;
    }
    return SRadioBox::setAttribute(name, value, loading);
}

QRect SRadioBoxEx::clientRect() const
{
    return rect().marginsRemoved(padding());
}

// Disabled 3, checked 2 (both lowered to the skin's last state), hover 1 when
// the skin has it, else 0.
int SRadioBoxEx::backgroundState() const
{
    const int last = skin()->states() - 1;
    if (isDisabled(true))
        return std::min(3, last);
    if (isChecked())
        return std::min(2, last);
    if (isHover())
        return last >= 1 ? 1 : 0;
    return 0;
}

void SRadioBoxEx::onPaint(QPainter& painter)
{
    const QRect client = clientRect();
    if (skin()) {
        QRect area = client;
        if (gravity_ == GravityCenter) {
            area = QRect(QPoint(), skin()->size());
            area.moveCenter(client.center());
        }
        skin()->draw(painter, area, backgroundState());
    }
    if (iconText_.iconSkin) {
        const QSize size = iconText_.iconSize();
        const QPoint topLeft(client.left() + iconText_.iconPos.x(),
                             client.top() + (client.height() - size.height()) / 2 + iconText_.iconPos.y());
        iconText_.iconSkin->draw(painter, QRect(topLeft, size), checkState8());
    }
    drawText(painter, textRect());
}

QRect SRadioBoxEx::textRect() const
{
    QRect text = clientRect();
    text.setLeft(text.left() + iconText_.iconPos.x() + iconText_.iconSize().width() + iconText_.textX);
    text.setTop(text.top() + iconText_.textY + 2 * iconText_.iconPos.y());
    return text;
}

QSize SRadioBoxEx::sizeHint() const
{
    if (skin())
        return skin()->size();
    return SWindow::sizeHint();
}
