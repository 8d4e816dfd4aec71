#include "toolkit/SCheckBox.h"

#include <QPainter>

namespace {
constexpr int kMarkTextGap = 6;
constexpr int kDefaultMark = 16;
}  // namespace

SCheckBox::SCheckBox(QWidget* parent) : SWindow(parent)
{
    setClickable(true);
    setSkin(skinByName(L"_sys.check"));
}

int SCheckBox::checkState8() const
{
    int state = 0;
    if (isDisabled(true)) {
        state = 3;
    } else if (isPushed()) {
        state = 2;
    } else if (isHover()) {
        state = 1;
    }
    return isChecked() ? state + 4 : state;
}

QRect SCheckBox::markRect() const
{
    const QSize mark = skin() && !skin()->size().isEmpty() ? skin()->size() : QSize(kDefaultMark, kDefaultMark);
    const QRect area = rect().marginsRemoved(padding());
    return QRect(area.left(), area.top() + (area.height() - mark.height()) / 2, mark.width(), mark.height());
}

QRect SCheckBox::textRect() const
{
    QRect r = rect().marginsRemoved(padding());
    r.setLeft(markRect().right() + 1 + kMarkTextGap);
    return r;
}

QSize SCheckBox::sizeHint() const
{
    const QSize mark = markRect().size();
    const QSize text = fontMetrics().size(Qt::TextSingleLine, displayText());
    const QMargins& m = padding();
    return QSize(mark.width() + (displayText().isEmpty() ? 0 : kMarkTextGap + text.width()) + m.left() + m.right(),
                 std::max(mark.height(), text.height()) + m.top() + m.bottom());
}

void SCheckBox::onPaint(QPainter& painter)
{
    if (colorAlpha(backgroundColor()) != 0) {
        painter.fillRect(rect(), toQColor(backgroundColor()));
    }
    if (skin()) {
        skin()->draw(painter, markRect(), checkState8());
    }
    drawText(painter, textRect());
}

void SCheckBox::onClick()
{
    setCheck(!isChecked());
    SWindow::onClick();
}
