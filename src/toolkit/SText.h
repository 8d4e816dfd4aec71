#pragma once

#include "toolkit/SWindow.h"

// A text ("text"): shows its text; takes no clicks.
class SText : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"text")
public:
    explicit SText(QWidget* parent = nullptr);
};
