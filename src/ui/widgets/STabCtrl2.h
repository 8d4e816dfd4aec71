#pragma once

#include "toolkit/STabCtrl.h"

class STabPage2;

// A tab control made of "page2" pages only, whose item icons play their
// page's animation on hover and leave, over an optional header background
// skin ("tabHeadBgSkin") ("tabctrl2").
class STabCtrl2 : public STabCtrl {
    MOUSECFG_WIDGET_CLASS(STabCtrl, L"tabctrl2")
public:
    explicit STabCtrl2(QWidget* parent = nullptr);
    ~STabCtrl2() override;

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    void onCreated() override;
    void onNextFrame() override;
    const std::shared_ptr<ISkin>& headerBackground() const { return headerBackground_; }

protected:
    std::wstring_view pageTag() const override { return L"page2"; }
    void drawHeaderBackground(QPainter& painter, const QRect& header) override;
    void drawItemIcon(QPainter& painter, int index, const QRect& rect, int state) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    STabPage2* animatedPage(int index) const;
    bool onItemHover(EventArgs* event);
    bool onItemLeave(EventArgs* event);

    std::shared_ptr<ISkin> headerBackground_;
};
