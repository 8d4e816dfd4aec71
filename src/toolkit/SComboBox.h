#pragma once

#include "toolkit/SWindow.h"

#include <vector>

class QComboBox;

// A drop-down list ("combobox"). Items come from <item text="..." data="..."/>
// children (texts translated) or from code. Only a choice by the user fires
// EventCBSelChange (19000); selecting from code fires nothing. Adding items
// keeps the selection as it was (none stays none).
//
// Attributes: "curSel", "dropItems" (rows shown in the list), "skin" (face
// states 0 normal, 1 hover, 2 open, 3 disabled; default "_sys.combobox") and
// "btnSkin" (the arrow, default "_sys.combobox.arrow").
class SComboBox : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"combobox")
public:
    explicit SComboBox(QWidget* parent = nullptr);

    int getCurSel() const;
    // Selects an item (-1: none); false when the index is out of range.
    bool setCurSel(int index);
    int getCount() const;
    // Inserts before `index` (-1 or beyond the end: appends); returns the item's index.
    int insertItem(int index, const std::wstring& text, intptr_t data = 0);
    int addItem(const std::wstring& text, intptr_t data = 0) { return insertItem(-1, text, data); }
    bool deleteItem(int index);
    void resetContent();
    std::wstring getItemText(int index) const;
    intptr_t getItemData(int index) const;

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    bool handleChildElement(LayoutContext& context, const pugi::xml_node& element) override;
    void onLanguageChanged() override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintFace();
    void setIndexQuietly(int index);

    QComboBox* combo_;
    std::shared_ptr<ISkin> arrowSkin_;
    bool quiet_ = false;
    bool popupOpen_ = false;
    std::vector<QString> layoutTexts_;  // source texts of layout items, by position; empty for code items
    int pendingCurSel_ = -1;
    friend struct ComboAttributes;
};
