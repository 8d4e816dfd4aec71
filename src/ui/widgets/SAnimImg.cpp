#include "ui/widgets/SAnimImg.h"

#include "toolkit/AttributeTable.h"

#include <QPainter>

struct AnimImgAttributes {
    static AttrResult interval(SAnimImg& w, const std::wstring& v, bool)
    {
        w.player_.setInterval(attrToInt(v));
        return AttrResult::Applied;
    }
    static AttrResult autorun(SAnimImg& w, const std::wstring& v, bool)
    {
        w.player_.setAutorun(attrToInt(v));
        return AttrResult::Applied;
    }
    static AttrResult aniIn(SAnimImg& w, const std::wstring& v, bool loading)
    {
        w.setStrip(w.aniIn_, SWindow::skinByName(v), loading);
        return AttrResult::Applied;
    }
    static AttrResult aniOut(SAnimImg& w, const std::wstring& v, bool loading)
    {
        w.setStrip(w.aniOut_, SWindow::skinByName(v), loading);
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<SAnimImg> kAnimImgAttributes[] = {
    {L"interval", AnimImgAttributes::interval},
    {L"autorun", AnimImgAttributes::autorun},
    {L"ani_in", AnimImgAttributes::aniIn},
    {L"ani_out", AnimImgAttributes::aniOut},
};

int statesOf(const std::shared_ptr<ISkin>& skin)
{
    return skin ? skin->states() : 0;
}

} // namespace

SAnimImg::SAnimImg(QWidget* parent) : SWindow(parent) {}

SAnimImg::~SAnimImg()
{
    unregisterTimeline();
}

AttrResult SAnimImg::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = applyAttribute(kAnimImgAttributes, *this, name, value, loading))
        return *result;
    return SWindow::setAttribute(name, value, loading);
}

void SAnimImg::setStrip(std::shared_ptr<ISkin>& strip, std::shared_ptr<ISkin> skin, bool loading)
{
    strip = std::move(skin);
    player_.setInStates(statesOf(aniIn_));
    player_.setOutStates(statesOf(aniOut_));
    if (!loading)
        update();
}

void SAnimImg::onCreated()
{
    SWindow::onCreated();
    registerTimeline();
    player_.start();
}

void SAnimImg::onNextFrame()
{
    if (player_.tick())
        update();
}

void SAnimImg::enterEvent(QEnterEvent* event)
{
    player_.hover();
    update();
    SWindow::enterEvent(event);
}

void SAnimImg::leaveEvent(QEvent* event)
{
    player_.leave();
    SWindow::leaveEvent(event);
}

void SAnimImg::onPaint(QPainter& painter)
{
    const AnimImgPlayer::Picture picture = player_.picture();
    const QRect client = rect().marginsRemoved(padding());
    if (picture.strip == AnimImgPlayer::Strip::In)
        aniIn_->draw(painter, client, picture.state);
    else if (picture.strip == AnimImgPlayer::Strip::Out)
        aniOut_->draw(painter, client, picture.state);
}

// The in strip's size, with what the layout fixes in its place.
QSize SAnimImg::sizeHint() const
{
    if (!aniIn_)
        return QSize(0, 0);
    QSize size = aniIn_->size();
    if (placement().width >= 0)
        size.setWidth(placement().width);
    if (placement().height >= 0)
        size.setHeight(placement().height);
    return size;
}
