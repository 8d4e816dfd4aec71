#include "ui/widgets/STabCtrl2.h"

#include "ui/widgets/STabPage2.h"

#include "toolkit/AttributeTable.h"

#include <QEvent>
#include <QPainter>

STabCtrl2::STabCtrl2(QWidget* parent) : STabCtrl(parent) {}

STabCtrl2::~STabCtrl2()
{
    unregisterTimeline();
}

AttrResult STabCtrl2::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (attributeNameIs(name, L"tabHeadBgSkin")) {
        headerBackground_ = SWindow::skinByName(value);
        return AttrResult::Applied;
    }
    return STabCtrl::setAttribute(name, value, loading);
}

void STabCtrl2::onCreated()
{
    STabCtrl::onCreated();
    registerTimeline();
    subscribeEvent(EventTabItemHover::kEventId, this, &STabCtrl2::onItemHover);
    subscribeEvent(EventTabItemLeave::kEventId, this, &STabCtrl2::onItemLeave);
}

STabPage2* STabCtrl2::animatedPage(int index) const
{
    STabPage* page = getPage(index);
    return page && page->isClass(STabPage2::kClassTag) ? static_cast<STabPage2*>(page) : nullptr;
}

bool STabCtrl2::onItemHover(EventArgs* event)
{
    const auto* hover = event->as<EventTabItemHover>();
    if (STabPage2* page = hover ? animatedPage(hover->index) : nullptr) {
        page->animation().hover();
        update(itemRect(hover->index));
    }
    return true;
}

bool STabCtrl2::onItemLeave(EventArgs* event)
{
    const auto* leave = event->as<EventTabItemLeave>();
    if (STabPage2* page = leave ? animatedPage(leave->index) : nullptr) {
        page->animation().leave();
        update(itemRect(leave->index));
    }
    return true;
}

void STabCtrl2::onNextFrame()
{
    for (int i = 0; i < getPageCount(); ++i) {
        STabPage2* page = animatedPage(i);
        if (page && page->tickAnimation())
            update(itemRect(i));
    }
}

void STabCtrl2::drawHeaderBackground(QPainter& painter, const QRect& header)
{
    STabCtrl::drawHeaderBackground(painter, header);
    if (headerBackground_)
        headerBackground_->draw(painter, header, 0);
}

// The page's animation replaces the icon while it plays.
void STabCtrl2::drawItemIcon(QPainter& painter, int index, const QRect& rect, int state)
{
    const STabPage2* page = animatedPage(index);
    int frame = 0;
    if (const ISkin* strip = page ? page->animationFrame(frame) : nullptr) {
        const QSize iconSize = iconSkin() ? iconSkin()->size() : strip->size();
        strip->draw(painter, QRect(itemRect(index).topLeft() + iconOffset(), iconSize), frame);
        return;
    }
    STabCtrl::drawItemIcon(painter, index, rect, state);
}

void STabCtrl2::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update(headerRect());
    STabCtrl::changeEvent(event);
}

void STabCtrl2::enterEvent(QEnterEvent* event)
{
    update(headerRect());
    STabCtrl::enterEvent(event);
}

void STabCtrl2::leaveEvent(QEvent* event)
{
    update(headerRect());
    STabCtrl::leaveEvent(event);
}
