#pragma once

#include "toolkit/SWindow.h"

// A check box ("check"): a click toggles the check mark, then fires EventCmd
// (setting the mark from code fires nothing). The skin is the mark, drawn at
// its own size left of the text, in checkState8(). Without a "skin"
// attribute it uses the system skin "_sys.check".
class SCheckBox : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"check")
public:
    explicit SCheckBox(QWidget* parent = nullptr);
    QSize sizeHint() const override;

    // The mark's state: unchecked normal 0, hover 1, pushed 2, disabled 3;
    // checked normal 4, hover 5, pushed 6, disabled 7.
    int checkState8() const;

protected:
    void onPaint(QPainter& painter) override;
    QRect textRect() const override;
    void onClick() override;
    // Where the mark goes: its own size, vertically centred at the left.
    QRect markRect() const;
};
