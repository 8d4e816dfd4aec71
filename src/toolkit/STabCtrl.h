#pragma once

#include "toolkit/SWindow.h"

#include <vector>

// A page of a tab control ("page"): a container with a title and an icon
// index (state of the tab control's icon skin).
class STabPage : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"page")
public:
    explicit STabPage(QWidget* parent = nullptr);
    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    void onLanguageChanged() override;

    QString title() const { return title_; }
    void setTitle(const std::wstring& title);
    int iconIndex() const { return iconIndex_; }

private:
    QString title_;
    QString layoutTitle_;
    int iconIndex_ = -1;
    friend struct TabPageAttributes;
};

// A tab control ("tabctrl"): a header with one item per page, and the pages,
// of which the selected one shows. Pages come from child elements whose tag
// is pageTag() ("page"); other children are skipped with a warning.
//
// Events: EventTabSelChanged (11001) whenever the selection changes (also
// from code), EventTabItemHover (11002) and EventTabItemLeave (11003) as the
// pointer enters and leaves header items.
//
// Attributes: "curSel", "tabAlign" ("top" or "left"), "tabWidth",
// "tabHeight", "tabInterval" (gap between items), "tabSkin" (item states
// 0 normal, 1 hover, 2 selected; default "_sys.tab.item"), "iconSkin",
// "iconOfs" ("x,y" from the item's top-left corner), "textOfs" ("x,y"; text
// centred when absent), "colorTextSelected".
//
// Painting subclasses override drawHeaderBackground(), drawItem() or
// drawItemIcon(); itemRect() and iconRect() give the geometry.
class STabCtrl : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"tabctrl")
public:
    explicit STabCtrl(QWidget* parent = nullptr);

    int getCurSel() const { return curSel_; }
    // Shows page `index`; false when out of range. Fires EventTabSelChanged when it changes.
    bool setCurSel(int index);
    int getPageCount() const { return static_cast<int>(pages_.size()); }
    STabPage* getPage(int index) const;
    // Appends a page (a child widget); returns its index.
    int insertPage(STabPage* page);
    int hoverItem() const { return hoverItem_; }

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    bool handleChildElement(LayoutContext& context, const pugi::xml_node& element) override;
    void onCreated() override;
    QSize sizeHint() const override;

    QRect headerRect() const;
    QRect itemRect(int index) const;
    QRect iconRect(int index) const;
    QRect pageRect() const;
    const std::shared_ptr<ISkin>& iconSkin() const { return iconSkin_; }
    QPoint iconOffset() const { return iconOffset_; }

protected:
    virtual std::wstring_view pageTag() const { return L"page"; }
    void onPaint(QPainter& painter) override;
    virtual void drawHeaderBackground(QPainter& painter, const QRect& header);
    // `state`: 0 normal, 1 hover, 2 selected.
    virtual void drawItem(QPainter& painter, int index, const QRect& rect, int state);
    virtual void drawItemIcon(QPainter& painter, int index, const QRect& rect, int state);

    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int itemAt(const QPoint& point) const;
    void setHoverItem(int index);
    void layoutPages();

    std::vector<STabPage*> pages_;
    int curSel_ = -1;
    int pendingCurSel_ = 0;
    int hoverItem_ = -1;
    bool vertical_ = false;
    QSize itemSize_{80, 30};
    int interval_ = 0;
    std::shared_ptr<ISkin> itemSkin_;
    std::shared_ptr<ISkin> iconSkin_;
    QPoint iconOffset_{4, 4};
    bool hasTextOffset_ = false;
    QPoint textOffset_;
    SColorRef selectedTextColor_ = 0;
    friend struct TabAttributes;
};
