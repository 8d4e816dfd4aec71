#pragma once

#include "toolkit/ListAdapter.h"
#include "toolkit/SWindow.h"

#include <pugixml.hpp>

#include <vector>

class QScrollBar;
class SListView;

// One row of a list view: built from the list's <template>; clicking it
// selects the row, then fires EventCmd from the row. Takes the template's
// attributes and "colorHover" and "colorSelected"; its skin states are
// 0 normal, 1 hover, 2 selected.
class SListRow : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"listrow")
public:
    SListRow(SListView* list, QWidget* parent);
    int position() const { return position_; }
    void setPosition(int position) { position_ = position; }
    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;

protected:
    void onPaint(QPainter& painter) override;
    int skinState() const override;
    void onClick() override;

private:
    SListView* list_;
    int position_ = -1;
    SColorRef hoverColor_ = 0;
    SColorRef selectedColor_ = 0;
    friend struct RowAttributes;
};

// A list of rows ("listview") filled by a ListRowAdapter. Layout:
//   <listview name="macro_group">
//     <template height="30" layout="hbox" colorSelected="#1fd0f840">
//       <edit name="group_name"/>
//     </template>
//   </listview>
// Rows exist only for the positions on screen. The list keeps a selected row
// (-1: none): a click selects, setSel() selects from code.
class SListView : public SWindow, protected IListObserver {
    MOUSECFG_WIDGET_CLASS(SWindow, L"listview")
public:
    explicit SListView(QWidget* parent = nullptr);
    ~SListView() override;

    // The adapter is not owned; null detaches.
    void setAdapter(ListRowAdapter* adapter);
    ListRowAdapter* getAdapter() const { return adapter_; }
    int getSel() const { return sel_; }
    // Selects a row (-1: none); out of range selects none. Scrolls it into view.
    void setSel(int index);
    int rowHeight() const { return rowHeight_; }
    void ensureVisible(int index);
    // The row widget showing `position`, or null when it is not on screen.
    SListRow* rowAt(int position) const;
    pugi::xml_node rowTemplate() const { return template_.first_child(); }

    bool handleChildElement(LayoutContext& context, const pugi::xml_node& element) override;
    QSize sizeHint() const override;

    // Called by a row when it is clicked.
    void rowClicked(int position);

protected:
    void onDataSetChanged() override;
    void onAdapterGone() override;
    // Where rows go; the multi-column list keeps its header above.
    virtual QRect viewportRect() const;
    // Prepares a new row widget before its children are built.
    virtual void prepareRow(SListRow& row);
    // Places a row's children after the adapter filled it.
    virtual void arrangeRow(SListRow& row);
    // Rebinds every row on screen.
    void refreshRows();

    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    SListRow* takeRow();
    void updateScrollRange();
    int count() const;

    ListRowAdapter* adapter_ = nullptr;
    pugi::xml_document template_;
    int rowHeight_ = 30;
    int sel_ = -1;
    int scrollOffset_ = 0;
    bool refreshing_ = false;
    QScrollBar* scrollBar_;
    std::vector<SListRow*> rows_;
};
