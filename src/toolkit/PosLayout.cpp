#include "toolkit/PosLayout.h"

#include "toolkit/SWindow.h"

#include <algorithm>

namespace {

QSize itemSize(QLayoutItem* item)
{
    return item->sizeHint().expandedTo(item->minimumSize()).boundedTo(item->maximumSize());
}

const SWindow* windowOf(QLayoutItem* item) { return dynamic_cast<const SWindow*>(item->widget()); }

}  // namespace

PosLayout::PosLayout(QWidget* parent) : QLayout(parent) {}

PosLayout::~PosLayout()
{
    for (QLayoutItem* item : items_) {
        delete item;
    }
}

void PosLayout::addItem(QLayoutItem* item) { items_.push_back(item); }

QLayoutItem* PosLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? items_[static_cast<size_t>(index)] : nullptr;
}

QLayoutItem* PosLayout::takeAt(int index)
{
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    return item;
}

QRect PosLayout::placeItem(QLayoutItem* item, const QRect& area) const
{
    const QSize size = itemSize(item);
    int x = area.left();
    int y = area.top();
    if (const SWindow* w = windowOf(item); w && w->placement().hasPos) {
        const auto& p = w->placement();
        x = p.x.fromFarEdge ? area.right() + 1 - p.x.value - size.width() : area.left() + p.x.value;
        y = p.y.fromFarEdge ? area.bottom() + 1 - p.y.value - size.height() : area.top() + p.y.value;
    }
    return QRect(QPoint(x, y), size);
}

void PosLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QRect area = rect.marginsRemoved(contentsMargins());
    for (QLayoutItem* item : items_) {
        if (!item->isEmpty()) {
            item->setGeometry(placeItem(item, area));
        }
    }
}

QSize PosLayout::sizeHint() const
{
    // Enough room for every child placed from the near edges, and for the
    // far-edge children's offsets plus their sizes.
    int width = 0;
    int height = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        const QSize size = itemSize(item);
        int x = 0;
        int y = 0;
        if (const SWindow* w = windowOf(item); w && w->placement().hasPos) {
            x = w->placement().x.value;
            y = w->placement().y.value;
        }
        width = std::max(width, x + size.width());
        height = std::max(height, y + size.height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize PosLayout::minimumSize() const
{
    const QMargins m = contentsMargins();
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}
