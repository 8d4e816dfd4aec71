#include "toolkit/SListView.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/LayoutBuilder.h"
#include "toolkit/SApplication.h"

#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int kSelectedState = 2;
}  // namespace

struct RowAttributes {
    static AttrResult color(SColorRef& target, SListRow& w, const std::wstring& v)
    {
        const SApplication* app = SApplication::instance();
        const auto c = app ? app->uiDefinitions().parseColor(v) : parseColorText(v);
        if (!c) {
            return AttrResult::Rejected;
        }
        target = fromQColor(*c);
        w.update();
        return AttrResult::Applied;
    }
    static AttrResult colorHover(SListRow& w, const std::wstring& v, bool) { return color(w.hoverColor_, w, v); }
    static AttrResult colorSelected(SListRow& w, const std::wstring& v, bool) { return color(w.selectedColor_, w, v); }
};

namespace {
const AttributeRow<SListRow> kRowAttributes[] = {
    {L"colorHover", &RowAttributes::colorHover},
    {L"colorSelected", &RowAttributes::colorSelected},
};
}  // namespace

SListRow::SListRow(SListView* list, QWidget* parent) : SWindow(parent), list_(list) { setClickable(true); }

AttrResult SListRow::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kRowAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

int SListRow::skinState() const
{
    if (isChecked()) {
        return kSelectedState;
    }
    return isHover() ? 1 : 0;
}

void SListRow::onPaint(QPainter& painter)
{
    drawBackground(painter);
    const SColorRef overlay = isChecked() ? selectedColor_ : (isHover() ? hoverColor_ : 0);
    if (colorAlpha(overlay) != 0) {
        painter.fillRect(rect(), toQColor(overlay));
    }
    drawText(painter, textRect());
}

void SListRow::onClick()
{
    QPointer<SListRow> self(this);
    list_->rowClicked(position_);
    if (self) {
        SWindow::onClick();
    }
}

SListView::SListView(QWidget* parent) : SWindow(parent), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    setManualLayout(true);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        scrollOffset_ = value;
        refreshRows();
    });
}

SListView::~SListView()
{
    if (adapter_) {
        adapter_->unregisterObserver(this);
    }
}

void SListView::setAdapter(ListRowAdapter* adapter)
{
    if (adapter_ == adapter) {
        return;
    }
    if (adapter_) {
        adapter_->unregisterObserver(this);
    }
    adapter_ = adapter;
    if (adapter_) {
        adapter_->registerObserver(this);
    }
    // Rows built for another adapter may hold other widgets.
    for (SListRow* row : rows_) {
        row->deleteLater();
        row->hide();
    }
    rows_.clear();
    onDataSetChanged();
}

int SListView::count() const { return adapter_ ? std::max(0, adapter_->getCount()) : 0; }

void SListView::setSel(int index)
{
    sel_ = index >= 0 && index < count() ? index : -1;
    for (SListRow* row : rows_) {
        row->setCheck(row->isVisibleTo(this) && row->position() == sel_);
    }
    if (sel_ >= 0) {
        ensureVisible(sel_);
    }
}

void SListView::rowClicked(int position)
{
    setSel(position);
    setFocus(Qt::MouseFocusReason);
}

void SListView::ensureVisible(int index)
{
    const QRect view = viewportRect();
    const int top = index * rowHeight_;
    if (top < scrollOffset_) {
        scrollBar_->setValue(top);
    } else if (top + rowHeight_ > scrollOffset_ + view.height()) {
        scrollBar_->setValue(top + rowHeight_ - view.height());
    }
}

SListRow* SListView::rowAt(int position) const
{
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [this, position](SListRow* r) { return r->isVisibleTo(this) && r->position() == position; });
    return it == rows_.end() ? nullptr : *it;
}

bool SListView::handleChildElement(LayoutContext& context, const pugi::xml_node& element)
{
    if (std::string_view(element.name()) != "template") {
        return false;
    }
    if (const auto h = element.attribute("height")) {
        const auto value = attrToStrictInt(QString::fromUtf8(h.value()).toStdWString());
        if (!value || *value <= 0) {
            context.error(element, QStringLiteral("bad value \"%1\" for \"height\" on <template>").arg(QString::fromUtf8(h.value())));
        } else {
            rowHeight_ = *value;
        }
    }
    // Build one row now, so that mistakes in the template are reported with their lines.
    SListRow probe(this, nullptr);
    prepareRow(probe);
    LayoutBuilder::applyAttributes(context, probe, element, {"height"});
    LayoutBuilder::createChildren(context, probe, element);
    template_.reset();
    template_.append_copy(element);
    return true;
}

QSize SListView::sizeHint() const { return QSize(160, rowHeight_ * 4); }

SListRow* SListView::takeRow()
{
    auto* row = new SListRow(this, this);
    prepareRow(*row);
    const pugi::xml_node tmpl = rowTemplate();
    for (const pugi::xml_attribute& a : tmpl.attributes()) {
        if (std::string_view(a.name()) != "height") {
            row->setAttribute(QString::fromUtf8(a.name()).toStdWString(), QString::fromUtf8(a.value()).toStdWString(), true);
        }
    }
    rows_.push_back(row);
    return row;
}

void SListView::prepareRow(SListRow&) {}

void SListView::arrangeRow(SListRow&) {}

QRect SListView::viewportRect() const
{
    QRect r = rect().marginsRemoved(padding());
    if (scrollBar_->isVisible()) {
        r.setRight(scrollBar_->geometry().left() - 1);
    }
    return r;
}

void SListView::updateScrollRange()
{
    const int content = count() * rowHeight_;
    const QRect full = rect().marginsRemoved(padding());
    const int viewHeight = full.height() - (viewportRect().top() - full.top());
    const bool needed = content > viewHeight && viewHeight > 0;
    const int barWidth = scrollBar_->sizeHint().width();
    scrollBar_->setGeometry(full.right() - barWidth + 1, viewportRect().top(), barWidth, viewHeight);
    scrollBar_->setVisible(needed);
    scrollBar_->setPageStep(std::max(1, viewHeight));
    scrollBar_->setSingleStep(rowHeight_);
    scrollBar_->setRange(0, needed ? content - viewHeight : 0);
    scrollOffset_ = scrollBar_->value();
}

void SListView::refreshRows()
{
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    QPointer<SListView> self(this);
    const QRect view = viewportRect();
    const int total = count();
    const int first = rowHeight_ > 0 ? scrollOffset_ / rowHeight_ : 0;
    const int last = rowHeight_ > 0 ? std::min(total - 1, (scrollOffset_ + view.height() - 1) / rowHeight_) : -1;
    // Rows keep their position when it stays on screen, so that a row being edited is not rebuilt elsewhere.
    std::vector<SListRow*> spare;
    for (SListRow* row : rows_) {
        if (row->position() < first || row->position() > last) {
            spare.push_back(row);
        }
    }
    for (int position = first; position <= last && self; ++position) {
        SListRow* row = rowAt(position);
        if (!row) {
            const auto it = std::find_if(rows_.begin(), rows_.end(), [&](SListRow* r) {
                return std::find(spare.begin(), spare.end(), r) != spare.end();
            });
            if (it != rows_.end()) {
                row = *it;
                spare.erase(std::find(spare.begin(), spare.end(), row));
            } else {
                row = takeRow();
            }
        }
        row->setPosition(position);
        row->setGeometry(view.left(), view.top() + position * rowHeight_ - scrollOffset_, view.width(), rowHeight_);
        adapter_->getView(position, row, rowTemplate());
        if (!self) {
            return;
        }
        arrangeRow(*row);
        row->setCheck(position == sel_);
        row->show();
    }
    if (!self) {
        return;
    }
    for (SListRow* row : spare) {
        row->hide();
        row->setPosition(-1);
    }
    refreshing_ = false;
    update();
}

void SListView::onDataSetChanged()
{
    if (sel_ >= count()) {
        sel_ = -1;
    }
    updateScrollRange();
    refreshRows();
}

void SListView::onAdapterGone()
{
    adapter_ = nullptr;
    sel_ = -1;
    for (SListRow* row : rows_) {
        row->hide();
        row->setPosition(-1);
    }
    updateScrollRange();
}

void SListView::resizeEvent(QResizeEvent* event)
{
    SWindow::resizeEvent(event);
    updateScrollRange();
    refreshRows();
}

void SListView::wheelEvent(QWheelEvent* event)
{
    if (scrollBar_->isVisible()) {
        scrollBar_->setValue(scrollBar_->value() - event->angleDelta().y() / 120 * rowHeight_);
        event->accept();
        return;
    }
    event->ignore();
}
