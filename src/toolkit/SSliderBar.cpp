#include "toolkit/SSliderBar.h"

#include "toolkit/AttributeTable.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kDefaultThumb = 16;
constexpr int kDefaultTrack = 4;
constexpr int kPageSteps = 10;
}  // namespace

struct SliderAttributes {
    template <class Fn>
    static AttrResult number(const std::wstring& v, Fn&& apply)
    {
        const auto n = attrToStrictInt(v);
        if (!n) {
            return AttrResult::Rejected;
        }
        apply(*n);
        return AttrResult::Applied;
    }
    static AttrResult min(SSliderBar& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) { w.setRange(n, std::max(n, w.max_)); });
    }
    static AttrResult max(SSliderBar& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) { w.setRange(std::min(n, w.min_), n); });
    }
    static AttrResult value(SSliderBar& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) { w.setValue(n); });
    }
    static AttrResult vertical(SSliderBar& w, const std::wstring& v, bool)
    {
        const auto b = attrToBool(v);
        if (!b) {
            return AttrResult::Rejected;
        }
        w.vertical_ = *b;
        w.updateGeometry();
        w.update();
        return AttrResult::Applied;
    }
    static AttrResult posSkin(SSliderBar& w, const std::wstring& v, bool)
    {
        w.posSkin_ = SWindow::skinByName(v);
        w.update();
        return AttrResult::Applied;
    }
    static AttrResult thumbSkin(SSliderBar& w, const std::wstring& v, bool)
    {
        w.thumbSkin_ = SWindow::skinByName(v);
        w.updateGeometry();
        w.update();
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<SSliderBar> kSliderAttributes[] = {
    {L"min", &SliderAttributes::min},           {L"max", &SliderAttributes::max},
    {L"value", &SliderAttributes::value},       {L"vertical", &SliderAttributes::vertical},
    {L"posSkin", &SliderAttributes::posSkin},   {L"thumbSkin", &SliderAttributes::thumbSkin},
};

}  // namespace

SSliderBar::SSliderBar(QWidget* parent) : SWindow(parent)
{
    addEvent(EventSliderPos::kEventId, EventSliderPos::kEventName);
    setFocusPolicy(Qt::StrongFocus);
    setSkin(skinByName(L"_sys.slider.track"));
    posSkin_ = skinByName(L"_sys.slider.fill");
    thumbSkin_ = skinByName(L"_sys.slider.thumb");
}

AttrResult SSliderBar::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kSliderAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

void SSliderBar::setValue(int value)
{
    const int clamped = std::clamp(value, min_, max_);
    if (clamped != value_) {
        value_ = clamped;
        update();
    }
}

void SSliderBar::setRange(int minimum, int maximum)
{
    min_ = std::min(minimum, maximum);
    max_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, min_, max_);
    update();
}

QSize SSliderBar::thumbSize() const
{
    if (thumbSkin_ && !thumbSkin_->size().isEmpty()) {
        return thumbSkin_->size();
    }
    return QSize(kDefaultThumb, kDefaultThumb);
}

QSize SSliderBar::sizeHint() const
{
    const QSize thumb = thumbSize();
    return vertical_ ? QSize(thumb.width(), 120) : QSize(120, thumb.height());
}

QRect SSliderBar::trackRect() const
{
    const QSize thumb = thumbSize();
    const int thickness = skin() && !skin()->size().isEmpty()
                              ? (vertical_ ? skin()->size().width() : skin()->size().height())
                              : kDefaultTrack;
    if (vertical_) {
        return QRect((width() - thickness) / 2, thumb.height() / 2, thickness, std::max(0, height() - thumb.height()));
    }
    return QRect(thumb.width() / 2, (height() - thickness) / 2, std::max(0, width() - thumb.width()), thickness);
}

QRect SSliderBar::thumbRect() const
{
    const QRect track = trackRect();
    const QSize thumb = thumbSize();
    const double fraction = max_ > min_ ? static_cast<double>(value_ - min_) / (max_ - min_) : 0.0;
    if (vertical_) {
        // The minimum is at the bottom.
        const int centre = track.bottom() - static_cast<int>(std::lround(fraction * track.height()));
        return QRect((width() - thumb.width()) / 2, centre - thumb.height() / 2, thumb.width(), thumb.height());
    }
    const int centre = track.left() + static_cast<int>(std::lround(fraction * track.width()));
    return QRect(centre - thumb.width() / 2, (height() - thumb.height()) / 2, thumb.width(), thumb.height());
}

int SSliderBar::valueAt(const QPoint& point) const
{
    const QRect track = trackRect();
    const double length = vertical_ ? track.height() : track.width();
    if (length <= 0) {
        return min_;
    }
    const double along = vertical_ ? track.bottom() - point.y() : point.x() - track.left();
    const double fraction = std::clamp(along / length, 0.0, 1.0);
    return min_ + static_cast<int>(std::lround(fraction * (max_ - min_)));
}

void SSliderBar::moveByUser(int value)
{
    const int clamped = std::clamp(value, min_, max_);
    if (clamped == value_) {
        return;
    }
    value_ = clamped;
    update();
    EventSliderPos event;
    event.nPos = value_;
    fireEvent(event);
}

void SSliderBar::onPaint(QPainter& painter)
{
    if (colorAlpha(backgroundColor()) != 0) {
        painter.fillRect(rect(), toQColor(backgroundColor()));
    }
    const QRect track = trackRect();
    const QRect thumb = thumbRect();
    const int disabledState = isDisabled(true) ? 3 : 0;
    if (skin()) {
        skin()->draw(painter, track, disabledState);
    } else {
        painter.fillRect(track, palette().color(QPalette::Mid));
    }
    QRect filled = track;
    if (vertical_) {
        filled.setTop(thumb.center().y());
    } else {
        filled.setRight(thumb.center().x());
    }
    if (posSkin_) {
        posSkin_->draw(painter, filled, disabledState);
    } else {
        painter.fillRect(filled, palette().color(QPalette::Highlight));
    }
    int state = 0;
    if (isDisabled(true)) {
        state = 3;
    } else if (dragging_) {
        state = 2;
    } else if (isHover()) {
        state = 1;
    }
    if (thumbSkin_) {
        thumbSkin_->draw(painter, thumb, state);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::Dark));
        painter.setBrush(palette().color(QPalette::Button));
        painter.drawEllipse(QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void SSliderBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    const QRect thumb = thumbRect();
    dragging_ = true;
    if (thumb.contains(p)) {
        // Keep the grip point under the pointer.
        dragOffset_ = vertical_ ? p.y() - thumb.center().y() : p.x() - thumb.center().x();
    } else {
        dragOffset_ = 0;
        moveByUser(valueAt(p));
    }
    update();
    event->accept();
}

void SSliderBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) {
        event->ignore();
        return;
    }
    QPoint p = event->position().toPoint();
    if (vertical_) {
        p.ry() -= dragOffset_;
    } else {
        p.rx() -= dragOffset_;
    }
    moveByUser(valueAt(p));
    event->accept();
}

void SSliderBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_) {
        event->ignore();
        return;
    }
    dragging_ = false;
    update();
    event->accept();
}

void SSliderBar::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        moveByUser(value_ + steps);
    }
    event->accept();
}

void SSliderBar::keyPressEvent(QKeyEvent* event)
{
    const int page = std::max(1, (max_ - min_) / kPageSteps);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        moveByUser(value_ - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        moveByUser(value_ + 1);
        break;
    case Qt::Key_PageDown:
        moveByUser(value_ - page);
        break;
    case Qt::Key_PageUp:
        moveByUser(value_ + page);
        break;
    case Qt::Key_Home:
        moveByUser(min_);
        break;
    case Qt::Key_End:
        moveByUser(max_);
        break;
    default:
        SWindow::keyPressEvent(event);
        return;
    }
    event->accept();
}
