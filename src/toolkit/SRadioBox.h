#pragma once

#include "toolkit/SCheckBox.h"

// A radio button ("radio"): a click checks it and clears the other radio
// buttons of the same parent, then fires EventCmd. Setting the mark from code
// changes only this button. States as SCheckBox; without a "skin" attribute
// it uses the system skin "_sys.radio".
class SRadioBox : public SCheckBox {
    MOUSECFG_WIDGET_CLASS(SCheckBox, L"radio")
public:
    explicit SRadioBox(QWidget* parent = nullptr);

protected:
    void onClick() override;
};
