#include "ui/widgets/STabPage2.h"

#include "toolkit/AttributeTable.h"

struct TabPage2Attributes {
    static AttrResult aniIn(STabPage2& w, const std::wstring& v, bool loading)
    {
        w.aniIn_ = SWindow::skinByName(v);
        if (!loading)
            w.redrawItem();
        return AttrResult::Applied;
    }
    static AttrResult aniOut(STabPage2& w, const std::wstring& v, bool loading)
    {
        w.aniOut_ = SWindow::skinByName(v);
        if (!loading)
            w.redrawItem();
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<STabPage2> kTabPage2Attributes[] = {
    {L"ani_in", TabPage2Attributes::aniIn},
    {L"ani_out", TabPage2Attributes::aniOut},
};

int statesOf(const std::shared_ptr<ISkin>& skin)
{
    return skin ? skin->states() : 0;
}

} // namespace

STabPage2::STabPage2(QWidget* parent) : STabPage(parent) {}

AttrResult STabPage2::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = applyAttribute(kTabPage2Attributes, *this, name, value, loading))
        return *result;
    return STabPage::setAttribute(name, value, loading);
}

// The item's icon lives in the tab control's header.
void STabPage2::redrawItem()
{
    if (QWidget* control = parentWidget())
        control->update();
}

bool STabPage2::tickAnimation()
{
    return animation_.tick(statesOf(aniIn_), statesOf(aniOut_));
}

const ISkin* STabPage2::animationFrame(int& state) const
{
    state = animation_.frame;
    if (animation_.phase == TabIconAnimation::In && aniIn_)
        return aniIn_.get();
    if (animation_.phase == TabIconAnimation::Out && aniOut_)
        return aniOut_.get();
    return nullptr;
}
