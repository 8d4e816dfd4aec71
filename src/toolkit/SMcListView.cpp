#include "toolkit/SMcListView.h"

#include "toolkit/LayoutBuilder.h"
#include "toolkit/TextUtil.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <pugixml.hpp>

namespace {
constexpr int kMarkSize = 8;
constexpr int kHeaderTextMargin = 8;
}  // namespace

SMcListView::SMcListView(QWidget* parent) : SListView(parent)
{
    addEvent(EventHeaderClick::kEventId, EventHeaderClick::kEventName);
    headerSkin_ = skinByName(L"_sys.header");
}

void SMcListView::setAdapter(ListColumnAdapter* adapter) { SListView::setAdapter(adapter); }

ListColumnAdapter* SMcListView::columnAdapter() const { return dynamic_cast<ListColumnAdapter*>(getAdapter()); }

int SMcListView::sortMark(int column) const
{
    return column >= 0 && column < columnCount() ? columns_[static_cast<size_t>(column)].mark : kSortNone;
}

int SMcListView::columnWidth(int column) const
{
    return column >= 0 && column < columnCount() ? columns_[static_cast<size_t>(column)].width : 0;
}

QRect SMcListView::headerRect() const
{
    const QRect inner = rect().marginsRemoved(padding());
    return QRect(inner.left(), inner.top(), inner.width(), headerHeight_);
}

QRect SMcListView::headerItemRect(int column) const
{
    if (column < 0 || column >= columnCount()) {
        return QRect();
    }
    const QRect header = headerRect();
    int left = header.left();
    for (int i = 0; i < column; ++i) {
        left += columns_[static_cast<size_t>(i)].width;
    }
    return QRect(left, header.top(), columns_[static_cast<size_t>(column)].width, headerHeight_);
}

QRect SMcListView::viewportRect() const
{
    QRect r = SListView::viewportRect();
    r.setTop(headerRect().bottom() + 1);
    return r;
}

bool SMcListView::handleChildElement(LayoutContext& context, const pugi::xml_node& element)
{
    if (std::string_view(element.name()) != "header") {
        return SListView::handleChildElement(context, element);
    }
    for (const pugi::xml_attribute& a : element.attributes()) {
        const auto value = attrToStrictInt(QString::fromUtf8(a.value()).toStdWString());
        if (std::string_view(a.name()) == "height" && value && *value > 0) {
            headerHeight_ = *value;
        } else if (std::string_view(a.name()) == "skin") {
            headerSkin_ = skinByName(QString::fromUtf8(a.value()).toStdWString());
        } else {
            context.error(element, QStringLiteral("bad attribute \"%1\" on <header>").arg(QString::fromUtf8(a.name())));
        }
    }
    for (const pugi::xml_node& item : element.children()) {
        if (item.type() != pugi::node_element) {
            continue;
        }
        if (std::string_view(item.name()) != "item") {
            context.error(item, QStringLiteral("unknown element <%1> in <header>").arg(QString::fromUtf8(item.name())));
            continue;
        }
        Column column;
        for (const pugi::xml_attribute& a : item.attributes()) {
            const std::string_view n = a.name();
            if (n == "text") {
                column.layoutText = QString::fromUtf8(a.value());
            } else if (n == "width") {
                const auto w = attrToStrictInt(QString::fromUtf8(a.value()).toStdWString());
                if (!w || *w < 0) {
                    context.error(item, QStringLiteral("bad value \"%1\" for \"width\"").arg(QString::fromUtf8(a.value())));
                    continue;
                }
                column.width = *w;
            } else {
                context.error(item, QStringLiteral("unknown attribute \"%1\" on <item>").arg(QString::fromUtf8(a.name())));
            }
        }
        column.text = translate(column.layoutText);
        columns_.push_back(column);
    }
    return true;
}

void SMcListView::onLanguageChanged()
{
    SListView::onLanguageChanged();
    for (Column& c : columns_) {
        c.text = translate(c.layoutText);
    }
    update();
}

void SMcListView::prepareRow(SListRow& row) { row.setManualLayout(true); }

void SMcListView::arrangeRow(SListRow& row)
{
    const ListColumnAdapter* adapter = columnAdapter();
    if (!adapter) {
        return;
    }
    int left = 0;
    for (int i = 0; i < columnCount(); ++i) {
        const int w = columns_[static_cast<size_t>(i)].width;
        for (SWindow* cell : row.childWindows()) {
            if (cell->name() == adapter->getColumnName(i)) {
                cell->setGeometry(left, 0, w, row.height());
            }
        }
        left += w;
    }
}

void SMcListView::clickHeader(int column)
{
    if (column < 0 || column >= columnCount()) {
        return;
    }
    if (ListColumnAdapter* adapter = columnAdapter()) {
        std::vector<int> marks;
        for (const Column& c : columns_) {
            marks.push_back(c.mark);
        }
        if (adapter->onSort(column, marks.data(), columnCount())) {
            for (size_t i = 0; i < columns_.size(); ++i) {
                columns_[i].mark = marks[i];
            }
        }
    }
    update(headerRect());
    EventHeaderClick event;
    event.column = column;
    fireEvent(event);
}

void SMcListView::onPaint(QPainter& painter)
{
    drawBackground(painter);
    for (int i = 0; i < columnCount(); ++i) {
        const QRect item = headerItemRect(i);
        const Column& c = columns_[static_cast<size_t>(i)];
        if (headerSkin_) {
            headerSkin_->draw(painter, item, 0);
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(item.adjusted(kHeaderTextMargin, 0, -kHeaderTextMargin - kMarkSize, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, c.text);
        if (c.mark == kSortNone) {
            continue;
        }
        // A small triangle at the right: up or down.
        const QPointF centre(item.right() - kHeaderTextMargin - kMarkSize / 2.0, item.center().y() + 0.5);
        const qreal h = kMarkSize / 2.0;
        QPainterPath path;
        if (c.mark == kSortUp) {
            path.moveTo(centre.x() - h, centre.y() + h / 2);
            path.lineTo(centre.x() + h, centre.y() + h / 2);
            path.lineTo(centre.x(), centre.y() - h / 2);
        } else {
            path.moveTo(centre.x() - h, centre.y() - h / 2);
            path.lineTo(centre.x() + h, centre.y() - h / 2);
            path.lineTo(centre.x(), centre.y() + h / 2);
        }
        path.closeSubpath();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, palette().color(QPalette::WindowText));
        painter.restore();
    }
}

void SMcListView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && headerRect().contains(p)) {
        for (int i = 0; i < columnCount(); ++i) {
            if (headerItemRect(i).contains(p)) {
                clickHeader(i);
                break;
            }
        }
        event->accept();
        return;
    }
    SListView::mousePressEvent(event);
}
