#pragma once

#include "ui/widgets/TabIconAnimation.h"

#include "toolkit/STabCtrl.h"

// A tab page whose item icon animates in STabCtrl2 ("page2"): "ani_in"
// plays while its item is hovered, "ani_out" after the pointer has left.
class STabPage2 : public STabPage {
    MOUSECFG_WIDGET_CLASS(STabPage, L"page2")
public:
    explicit STabPage2(QWidget* parent = nullptr);

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;

    const std::shared_ptr<ISkin>& aniIn() const { return aniIn_; }
    const std::shared_ptr<ISkin>& aniOut() const { return aniOut_; }
    TabIconAnimation& animation() { return animation_; }
    const TabIconAnimation& animation() const { return animation_; }
    // One tick of the icon animation; true when the item needs a redraw.
    bool tickAnimation();
    // The strip and state the item's icon place shows now, or none.
    const ISkin* animationFrame(int& state) const;

private:
    friend struct TabPage2Attributes;
    void redrawItem();

    std::shared_ptr<ISkin> aniIn_;
    std::shared_ptr<ISkin> aniOut_;
    TabIconAnimation animation_;
};
