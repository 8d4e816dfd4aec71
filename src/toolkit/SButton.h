#pragma once

#include "toolkit/SWindow.h"

// A push button ("button"): skin states 0 normal, 1 hover, 2 pushed,
// 3 disabled; text centred; a click fires EventCmd. Without a "skin"
// attribute it uses the system skin "_sys.button".
class SButton : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"button")
public:
    explicit SButton(QWidget* parent = nullptr);
    // Clicks the button from code: fires EventCmd as a user click does.
    void click() { onClick(); }

    QSize sizeHint() const override;
};

// An image button ("imgbtn"): a button drawn by its skin alone, at the skin's size.
class SImageButton : public SButton {
    MOUSECFG_WIDGET_CLASS(SButton, L"imgbtn")
public:
    explicit SImageButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;
};
