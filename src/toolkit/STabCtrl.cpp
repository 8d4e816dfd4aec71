#include "toolkit/STabCtrl.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/LayoutBuilder.h"
#include "toolkit/SApplication.h"
#include "toolkit/TextUtil.h"

#include <QMouseEvent>

#include <algorithm>
#include <QPainter>
#include <QPointer>

#include <pugixml.hpp>

namespace {
constexpr int kSelectedState = 2;
}  // namespace

struct TabPageAttributes {
    static AttrResult title(STabPage& w, const std::wstring& v, bool)
    {
        w.layoutTitle_ = toQString(v);
        w.title_ = w.translate(w.layoutTitle_);
        if (SWindow* tab = w.parentWindow()) {
            tab->update();
        }
        return AttrResult::Applied;
    }
    static AttrResult icon(STabPage& w, const std::wstring& v, bool)
    {
        const auto n = attrToStrictInt(v);
        if (!n) {
            return AttrResult::Rejected;
        }
        w.iconIndex_ = *n;
        return AttrResult::Applied;
    }
};

namespace {
const AttributeRow<STabPage> kPageAttributes[] = {
    {L"title", &TabPageAttributes::title},
    {L"icon", &TabPageAttributes::icon},
};
}  // namespace

STabPage::STabPage(QWidget* parent) : SWindow(parent) {}

AttrResult STabPage::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kPageAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

void STabPage::setTitle(const std::wstring& title)
{
    layoutTitle_.clear();
    title_ = toQString(title);
    if (SWindow* tab = parentWindow()) {
        tab->update();
    }
}

void STabPage::onLanguageChanged()
{
    SWindow::onLanguageChanged();
    if (!layoutTitle_.isEmpty()) {
        title_ = translate(layoutTitle_);
    }
}

struct TabAttributes {
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
    template <class Fn>
    static AttrResult point(const std::wstring& v, Fn&& apply)
    {
        const auto p = attrToPoint(v);
        if (!p) {
            return AttrResult::Rejected;
        }
        apply(*p);
        return AttrResult::Applied;
    }
    static AttrResult curSel(STabCtrl& w, const std::wstring& v, bool loading)
    {
        return number(v, [&](int n) {
            if (loading) {
                w.pendingCurSel_ = n;
            } else {
                w.setCurSel(n);
            }
        });
    }
    static AttrResult tabAlign(STabCtrl& w, const std::wstring& v, bool)
    {
        if (v != L"top" && v != L"left") {
            return AttrResult::Rejected;
        }
        w.vertical_ = v == L"left";
        w.layoutPages();
        return AttrResult::Applied;
    }
    static AttrResult tabWidth(STabCtrl& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) {
            w.itemSize_.setWidth(n);
            w.layoutPages();
        });
    }
    static AttrResult tabHeight(STabCtrl& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) {
            w.itemSize_.setHeight(n);
            w.layoutPages();
        });
    }
    static AttrResult tabInterval(STabCtrl& w, const std::wstring& v, bool)
    {
        return number(v, [&](int n) {
            w.interval_ = n;
            w.update();
        });
    }
    static AttrResult tabSkin(STabCtrl& w, const std::wstring& v, bool)
    {
        w.itemSkin_ = SWindow::skinByName(v);
        w.update();
        return AttrResult::Applied;
    }
    static AttrResult iconSkin(STabCtrl& w, const std::wstring& v, bool)
    {
        w.iconSkin_ = SWindow::skinByName(v);
        w.update();
        return AttrResult::Applied;
    }
    static AttrResult iconOfs(STabCtrl& w, const std::wstring& v, bool)
    {
        return point(v, [&](QPoint p) {
            w.iconOffset_ = p;
            w.update();
        });
    }
    static AttrResult textOfs(STabCtrl& w, const std::wstring& v, bool)
    {
        return point(v, [&](QPoint p) {
            w.hasTextOffset_ = true;
            w.textOffset_ = p;
            w.update();
        });
    }
    static AttrResult colorTextSelected(STabCtrl& w, const std::wstring& v, bool)
    {
        const SApplication* app = SApplication::instance();
        const auto c = app ? app->uiDefinitions().parseColor(v) : parseColorText(v);
        if (!c) {
            return AttrResult::Rejected;
        }
        w.selectedTextColor_ = fromQColor(*c);
        w.update();
        return AttrResult::Applied;
    }
};

namespace {
const AttributeRow<STabCtrl> kTabAttributes[] = {
    {L"curSel", &TabAttributes::curSel},         {L"tabAlign", &TabAttributes::tabAlign},
    {L"tabWidth", &TabAttributes::tabWidth},     {L"tabHeight", &TabAttributes::tabHeight},
    {L"tabInterval", &TabAttributes::tabInterval}, {L"tabSkin", &TabAttributes::tabSkin},
    {L"iconSkin", &TabAttributes::iconSkin},     {L"iconOfs", &TabAttributes::iconOfs},
    {L"textOfs", &TabAttributes::textOfs},       {L"colorTextSelected", &TabAttributes::colorTextSelected},
};
}  // namespace

STabCtrl::STabCtrl(QWidget* parent) : SWindow(parent)
{
    addEvent(EventTabSelChanged::kEventId, EventTabSelChanged::kEventName);
    addEvent(EventTabItemHover::kEventId, EventTabItemHover::kEventName);
    addEvent(EventTabItemLeave::kEventId, EventTabItemLeave::kEventName);
    setMouseTracking(true);
    itemSkin_ = skinByName(L"_sys.tab.item");
}

AttrResult STabCtrl::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kTabAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

bool STabCtrl::handleChildElement(LayoutContext& context, const pugi::xml_node& element)
{
    const std::wstring tag = QString::fromUtf8(element.name()).toStdWString();
    if (tag != pageTag()) {
        context.warning(element, QStringLiteral("<%1> is not a page of <%2>; skipped")
                                     .arg(QString::fromUtf8(element.name()), toQString(classTag())));
        return true;
    }
    const SApplication* app = SApplication::instance();
    SWindow* widget = app ? app->createWindowByTag(tag, this) : nullptr;
    auto* page = dynamic_cast<STabPage*>(widget);
    if (!page) {
        delete widget;
        context.error(element, QStringLiteral("<%1> is not a registered page class").arg(QString::fromUtf8(element.name())));
        return true;
    }
    LayoutBuilder::applyAttributes(context, *page, element);
    insertPage(page);
    LayoutBuilder::createChildren(context, *page, element);
    page->onCreated();
    return true;
}

void STabCtrl::onCreated()
{
    if (!pages_.empty()) {
        const int wanted = pendingCurSel_ >= 0 && pendingCurSel_ < getPageCount() ? pendingCurSel_ : 0;
        for (size_t i = 0; i < pages_.size(); ++i) {
            pages_[i]->setVisible(static_cast<int>(i) == wanted);
        }
        curSel_ = wanted;
    }
}

STabPage* STabCtrl::getPage(int index) const
{
    return index >= 0 && index < getPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int STabCtrl::insertPage(STabPage* page)
{
    page->setParent(this);
    // The pointer moving from the header onto a page leaves the header items.
    page->installEventFilter(this);
    pages_.push_back(page);
    const int index = getPageCount() - 1;
    page->setVisible(index == curSel_ || (curSel_ < 0 && index == 0));
    if (curSel_ < 0) {
        curSel_ = 0;
    }
    layoutPages();
    update();
    return index;
}

bool STabCtrl::setCurSel(int index)
{
    if (index < 0 || index >= getPageCount()) {
        return false;
    }
    if (index == curSel_) {
        return true;
    }
    const int old = curSel_;
    if (STabPage* previous = getPage(old)) {
        previous->hide();
    }
    curSel_ = index;
    pages_[static_cast<size_t>(index)]->show();
    update();
    EventTabSelChanged event;
    event.oldSel = old;
    event.newSel = index;
    fireEvent(event);
    return true;
}

QRect STabCtrl::headerRect() const
{
    return vertical_ ? QRect(0, 0, itemSize_.width(), height()) : QRect(0, 0, width(), itemSize_.height());
}

QRect STabCtrl::itemRect(int index) const
{
    if (index < 0 || index >= getPageCount()) {
        return QRect();
    }
    if (vertical_) {
        return QRect(0, index * (itemSize_.height() + interval_), itemSize_.width(), itemSize_.height());
    }
    return QRect(index * (itemSize_.width() + interval_), 0, itemSize_.width(), itemSize_.height());
}

QRect STabCtrl::iconRect(int index) const
{
    const QRect item = itemRect(index);
    if (item.isNull() || !iconSkin_) {
        return QRect();
    }
    return QRect(item.topLeft() + iconOffset_, iconSkin_->size());
}

QRect STabCtrl::pageRect() const
{
    const QRect r = rect();
    return vertical_ ? r.adjusted(itemSize_.width(), 0, 0, 0) : r.adjusted(0, itemSize_.height(), 0, 0);
}

QSize STabCtrl::sizeHint() const
{
    QSize pages(0, 0);
    for (const STabPage* page : pages_) {
        pages = pages.expandedTo(page->sizeHint());
    }
    const int count = getPageCount();
    if (vertical_) {
        return QSize(itemSize_.width() + pages.width(),
                     std::max(pages.height(), count * (itemSize_.height() + interval_)));
    }
    return QSize(std::max(pages.width(), count * (itemSize_.width() + interval_)), itemSize_.height() + pages.height());
}

void STabCtrl::layoutPages()
{
    const QRect area = pageRect();
    for (STabPage* page : pages_) {
        page->setGeometry(area);
    }
    updateGeometry();
    update();
}

void STabCtrl::resizeEvent(QResizeEvent* event)
{
    SWindow::resizeEvent(event);
    layoutPages();
}

void STabCtrl::onPaint(QPainter& painter)
{
    drawBackground(painter);
    drawHeaderBackground(painter, headerRect());
    for (int i = 0; i < getPageCount(); ++i) {
        const int state = i == curSel_ ? kSelectedState : (i == hoverItem_ ? 1 : 0);
        drawItem(painter, i, itemRect(i), state);
    }
}

void STabCtrl::drawHeaderBackground(QPainter&, const QRect&) {}

void STabCtrl::drawItem(QPainter& painter, int index, const QRect& rect, int state)
{
    if (itemSkin_) {
        itemSkin_->draw(painter, rect, state);
    }
    drawItemIcon(painter, index, iconRect(index), state);
    QColor color = palette().color(QPalette::WindowText);
    if (state == kSelectedState && colorAlpha(selectedTextColor_) != 0) {
        color = toQColor(selectedTextColor_);
    }
    painter.save();
    painter.setPen(color);
    const QString title = pages_[static_cast<size_t>(index)]->title();
    if (hasTextOffset_) {
        painter.drawText(rect.adjusted(textOffset_.x(), textOffset_.y(), 0, 0), Qt::AlignLeft | Qt::AlignTop, title);
    } else {
        painter.drawText(rect, Qt::AlignCenter, title);
    }
    painter.restore();
}

void STabCtrl::drawItemIcon(QPainter& painter, int index, const QRect& rect, int)
{
    const int icon = pages_[static_cast<size_t>(index)]->iconIndex();
    if (iconSkin_ && icon >= 0 && !rect.isEmpty()) {
        iconSkin_->draw(painter, rect, icon);
    }
}

int STabCtrl::itemAt(const QPoint& point) const
{
    for (int i = 0; i < getPageCount(); ++i) {
        if (itemRect(i).contains(point)) {
            return i;
        }
    }
    return -1;
}

void STabCtrl::setHoverItem(int index)
{
    if (index == hoverItem_) {
        return;
    }
    const int old = hoverItem_;
    hoverItem_ = index;
    update();
    QPointer<STabCtrl> self(this);
    if (old >= 0) {
        EventTabItemLeave leave;
        leave.index = old;
        fireEvent(leave);
    }
    if (self && index >= 0) {
        EventTabItemHover hover;
        hover.index = index;
        fireEvent(hover);
    }
}

void STabCtrl::mousePressEvent(QMouseEvent* event)
{
    const int item = itemAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || item < 0) {
        event->ignore();
        return;
    }
    setCurSel(item);
    event->accept();
}

void STabCtrl::mouseMoveEvent(QMouseEvent* event)
{
    setHoverItem(itemAt(event->position().toPoint()));
    SWindow::mouseMoveEvent(event);
}

void STabCtrl::leaveEvent(QEvent* event)
{
    setHoverItem(-1);
    SWindow::leaveEvent(event);
}

bool STabCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter && std::find(pages_.begin(), pages_.end(), watched) != pages_.end()) {
        setHoverItem(-1);
    }
    return SWindow::eventFilter(watched, event);
}
