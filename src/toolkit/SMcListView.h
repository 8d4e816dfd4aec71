#pragma once

#include "toolkit/SListView.h"

#include <vector>

// A list with columns ("mclistview") filled by a ListColumnAdapter.
//   <mclistview name="key_info">
//     <header height="26">
//       <item text="Code" width="60"/> <item text="Name" width="120"/>
//     </header>
//     <template height="28">
//       <text name="col1"/> <text name="col2"/>   (or containers named after the columns)
//     </template>
//   </mclistview>
// In each row the child named getColumnName(i) fills column i. A click on a
// header item asks the adapter's onSort for the new sort marks (0 none,
// 1 up, 2 down), shows them and fires EventHeaderClick.
class SMcListView : public SListView {
    MOUSECFG_WIDGET_CLASS(SListView, L"mclistview")
public:
    explicit SMcListView(QWidget* parent = nullptr);

    void setAdapter(ListColumnAdapter* adapter);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int sortMark(int column) const;
    int columnWidth(int column) const;
    QRect headerRect() const;
    QRect headerItemRect(int column) const;
    // A click on a header item, as the mouse gives it.
    void clickHeader(int column);

    bool handleChildElement(LayoutContext& context, const pugi::xml_node& element) override;
    void onLanguageChanged() override;

protected:
    QRect viewportRect() const override;
    void prepareRow(SListRow& row) override;
    void arrangeRow(SListRow& row) override;
    void onPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Column {
        QString layoutText;
        QString text;
        int width = 80;
        int mark = kSortNone;
    };
    ListColumnAdapter* columnAdapter() const;

    std::vector<Column> columns_;
    int headerHeight_ = 26;
    std::shared_ptr<ISkin> headerSkin_;
};
