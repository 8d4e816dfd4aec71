#include "ui/widgets/CoordButtonImage.h"

#include "ui/widgets/KeyFlags.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/SApplication.h"
#include "toolkit/TextUtil.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

std::filesystem::path& configuredDirectory()
{
    static std::filesystem::path directory;
    return directory;
}

// An item's rectangle for painting; none for an empty or inverted one.
QRect toQRect(const CoordRect& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return QRect();
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// "0" and "false" in any case turn select mode off; anything else turns it on.
bool selectModeFrom(const std::wstring& value)
{
    return !(value == L"0" || equalsNoCase(value, L"false"));
}

// Dash patterns in pen widths: 5 pixels on, 5 off; 1 on, 4 off.
QPen framePen(bool dotted)
{
    QPen pen(toQColor(CoordButtonImage::kFramePenColour), CoordButtonImage::kFramePenWidth);
    const qreal w = CoordButtonImage::kFramePenWidth;
    pen.setDashPattern(dotted ? QList<qreal>{1 / w, 4 / w} : QList<qreal>{5 / w, 5 / w});
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

struct CoordButtonAttributes {
    static AttrResult skin(CoordButtonImage& w, const std::wstring& v, bool loading)
    {
        w.setSkin(SWindow::skinByName(v));
        if (!loading)
            w.update();
        return AttrResult::Applied;
    }
    static AttrResult coords(CoordButtonImage& w, const std::wstring& v, bool)
    {
        w.coords_ = v;
        return AttrResult::Applied;
    }
    static AttrResult type(CoordButtonImage& w, const std::wstring& v, bool)
    {
        w.type_ = attrToInt(v);
        return AttrResult::Applied;
    }
    static AttrResult select(CoordButtonImage& w, const std::wstring& v, bool)
    {
        w.selectMode_ = selectModeFrom(v);
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<CoordButtonImage> kCoordButtonAttributes[] = {
    {L"skin", CoordButtonAttributes::skin},
    {L"coords", CoordButtonAttributes::coords},
    {L"type", CoordButtonAttributes::type},
    {L"select", CoordButtonAttributes::select},
};

} // namespace

CoordButtonImage::CoordButtonImage(QWidget* parent) : SWindow(parent)
{
    setMouseTracking(true);
}

void CoordButtonImage::setApplicationDirectory(const std::filesystem::path& directory)
{
    configuredDirectory() = directory;
}

std::filesystem::path CoordButtonImage::applicationDirectory()
{
    if (!configuredDirectory().empty())
        return configuredDirectory();
    return QCoreApplication::applicationDirPath().toStdString();
}

AttrResult CoordButtonImage::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = applyAttribute(kCoordButtonAttributes, *this, name, value, loading))
        return *result;
    return SWindow::setAttribute(name, value, loading);
}

// The application directory, then the value after string lookup; a value
// beginning with a separator is still taken below the application directory.
// Backslashes count as separators so that paths written for either system work.
std::filesystem::path CoordButtonImage::coordsFilePath() const
{
    const SApplication* app = SApplication::instance();
    QString value = toQString(coords_);
    if (app)
        value = app->uiDefinitions().expandString(value);
    value.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (value.startsWith(QLatin1Char('/')))
        value.remove(0, 1);
    return applicationDirectory() / value.toStdString();
}

void CoordButtonImage::onCreated()
{
    items_ = coords_.empty() ? CoordButtonItems{} : loadCoordsFile(coordsFilePath());
    SWindow::onCreated();
}

void CoordButtonImage::setItemSelected(std::int32_t id, bool selected)
{
    if (id == kAllItems) {
        for (auto& [key, item] : items_)
            item.selected = selected;
    } else if (const auto found = items_.find(id); found != items_.end()) {
        found->second.selected = selected;
    }
    update();
}

bool CoordButtonImage::findItem(std::int32_t id, CoordButtonItem& item) const
{
    const auto found = items_.find(id);
    if (found == items_.end())
        return false;
    item = found->second;
    return true;
}

std::vector<CoordButtonItem> CoordButtonImage::markedItems() const
{
    std::vector<CoordButtonItem> marked;
    for (const auto& [id, item] : items_) {
        if (item.marked)
            marked.push_back(item);
    }
    return marked;
}

CoordButtonItem* CoordButtonImage::itemAt(const QPoint& point)
{
    for (auto& [id, item] : items_) {
        if (item.rect.contains(point.x(), point.y()))
            return &item;
    }
    return nullptr;
}

void CoordButtonImage::applySelectionMode(CoordButtonItem& item)
{
    if (type_ == kSelectSingle) {
        for (auto& [id, other] : items_) {
            if (&other != &item)
                other.selected = false;
        }
        item.selected = !item.selected;
    } else if (type_ == kSelectToggle) {
        item.selected = !item.selected;
    }
}

void CoordButtonImage::setHovered(CoordButtonItem* item)
{
    if (const auto previous = items_.find(hoveredId_); previous != items_.end())
        previous->second.hover = false;
    hoveredId_ = item ? item->id : -1;
    if (item)
        item->hover = true;
}

void CoordButtonImage::markInside(const QPoint& from, const QPoint& to, bool marked)
{
    // The rectangle runs from the press point to the current one as they are:
    // dragged up or to the left it encloses nothing.
    const CoordRect drag{from.x(), from.y(), to.x(), to.y()};
    for (auto& [id, item] : items_) {
        if (drag.contains(item.rect.left, item.rect.top) && drag.contains(item.rect.right, item.rect.bottom))
            item.marked = marked;
    }
}

void CoordButtonImage::reportSelection()
{
    if (listener_)
        listener_->onSelectionChanged(markedItems());
}

void CoordButtonImage::leftDown(const QPoint& point, unsigned keyFlags)
{
    leftPressPoint_ = point;
    leftPressed_ = true;
    dragPoint_ = QPoint(-1, -1);
    CoordButtonItem* item = itemAt(point);
    if (!item) {
        pressedId_ = -1;
        return;
    }
    const std::int32_t id = item->id;
    pressedId_ = id;
    if (!listener_)
        return;
    const CoordButtonItem pressed = *item;
    QPointer<CoordButtonImage> alive(this);
    const int answer = listener_->onCoordButton(id, pressed, 0, keyFlags, point.x(), point.y());
    if (!alive)
        return;
    // The listener may have changed the items; apply the mode to what is there now.
    if (const auto found = items_.find(id); answer == 0 && found != items_.end())
        applySelectionMode(found->second);
}

void CoordButtonImage::leftUp(const QPoint& point, unsigned keyFlags)
{
    const QPoint pressPoint = leftPressPoint_;
    leftPressed_ = false;
    leftPressPoint_ = QPoint(-1, -1);
    if (selectMode_) {
        for (auto& [id, item] : items_) {
            if (item.rect.contains(point.x(), point.y()) && item.rect.contains(pressPoint.x(), pressPoint.y())) {
                item.marked = !item.marked;
                break;
            }
        }
        reportSelection();
        return;
    }
    const std::int32_t id = pressedId_;
    pressedId_ = -1;
    const auto found = items_.find(id);
    if (found == items_.end() || !found->second.rect.contains(point.x(), point.y()) || !listener_)
        return;
    const CoordButtonItem released = found->second;
    listener_->onCoordButton(id, released, 1, keyFlags, point.x(), point.y());
}

void CoordButtonImage::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        QPointer<CoordButtonImage> alive(this);
        leftDown(point, keyFlagsOf(*event));
        if (!alive)
            return;
    } else if (event->button() == Qt::RightButton) {
        rightPressPoint_ = point;
        rightPressed_ = true;
        dragPoint_ = QPoint(-1, -1);
    } else {
        SWindow::mousePressEvent(event);
        return;
    }
    event->accept();
    update();
}

void CoordButtonImage::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        QPointer<CoordButtonImage> alive(this);
        leftUp(point, keyFlagsOf(*event));
        if (!alive)
            return;
    } else if (event->button() == Qt::RightButton) {
        rightPressed_ = false;
        rightPressPoint_ = QPoint(-1, -1);
    } else {
        SWindow::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    update();
}

void CoordButtonImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::RightButton) {
        dragPoint_ = point;
        markInside(rightPressPoint_, point, false);
    } else if (buttons & Qt::LeftButton) {
        if (selectMode_) {
            dragPoint_ = point;
            markInside(leftPressPoint_, point, true);
        }
        setHovered(nullptr);
    } else {
        CoordButtonItem* item = itemAt(point);
        setHovered(item);
        if (!item)
            dragPoint_ = QPoint(-1, -1);
        setToolTipText(item ? item->name : std::wstring());
    }
    event->accept();
    update();
}

void CoordButtonImage::leaveEvent(QEvent* event)
{
    leftPressed_ = false;
    rightPressed_ = false;
    setToolTipText(std::wstring());
    setHovered(nullptr);
    if (selectMode_)
        reportSelection();
    dragPoint_ = QPoint(-1, -1);
    update();
    SWindow::leaveEvent(event);
}

// The picture's `state` at the widget's size, copied into the rectangles of
// the items for which `shown` holds.
void CoordButtonImage::drawPictureState(QPainter& painter, int state, bool (*shown)(const CoordButtonItem&))
{
    const bool any = std::any_of(items_.begin(), items_.end(), [&](const auto& entry) { return shown(entry.second); });
    if (!any)
        return;
    const qreal ratio = painter.device()->devicePixelRatioF();
    QImage layer((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        skin()->draw(layerPainter, rect(), state);
    }
    for (const auto& [id, item] : items_) {
        if (!shown(item))
            continue;
        const QRect target = toQRect(item.rect);
        if (target.isNull())
            continue;
        const QRectF source(QPointF(target.topLeft()) * ratio, QSizeF(target.size()) * ratio);
        painter.drawImage(QRectF(target), layer, source);
    }
}

void CoordButtonImage::drawFrames(QPainter& painter)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(framePen(false));
    for (const auto& [id, item] : items_) {
        const QRect frame = toQRect(item.rect);
        // The pen is centred on the rectangle's edges.
        if (item.marked && !frame.isNull())
            painter.drawRoundedRect(QRectF(frame), kFrameCorner, kFrameCorner);
    }
    if ((leftPressed_ || rightPressed_) && dragPoint_ != QPoint(-1, -1)) {
        const QPoint from = rightPressed_ ? rightPressPoint_ : leftPressPoint_;
        painter.setPen(framePen(rightPressed_));
        painter.drawRoundedRect(QRectF(from, dragPoint_), kFrameCorner, kFrameCorner);
    }
    painter.restore();
}

void CoordButtonImage::onPaint(QPainter& painter)
{
    const std::shared_ptr<ISkin>& picture = skin();
    const int states = picture ? picture->states() : 0;
    if (picture)
        picture->draw(painter, rect(), isDisabled(true) && states >= 4 ? 3 : 0);
    for (const auto& [id, item] : items_)
        painter.fillRect(toQRect(item.rect), toQColor(item.bground));
    if (!isDisabled(false) && states >= 2) {
        drawPictureState(painter, 1, [](const CoordButtonItem& item) { return item.hover; });
        if (states >= 3)
            drawPictureState(painter, 2, [](const CoordButtonItem& item) { return item.selected; });
    }
    for (const auto& [id, item] : items_)
        painter.fillRect(toQRect(item.rect), toQColor(item.fground));
    if (selectMode_)
        drawFrames(painter);
}
