#pragma once

#include "ui/widgets/IconTextFields.h"

#include "toolkit/SRadioBox.h"

// A radio button whose skin covers the widget (or, with gravity 1, sits at its
// own size in the middle), with an optional icon centred vertically at an
// offset and the text moved by the icon and its own offsets ("radioex").
class SRadioBoxEx : public SRadioBox {
    MOUSECFG_WIDGET_CLASS(SRadioBox, L"radioex")
public:
    // "gravity": "left"/"top" 0, "center" 1, "right"/"bottom" 2.
    enum Gravity { GravityStart = 0, GravityCenter = 1, GravityEnd = 2 };

    explicit SRadioBoxEx(QWidget* parent = nullptr);

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    QSize sizeHint() const override;
    const IconTextFields& iconText() const { return iconText_; }
    int gravity() const { return gravity_; }

protected:
    void onPaint(QPainter& painter) override;
    QRect textRect() const override;

private:
    QRect clientRect() const;
    int backgroundState() const;

    IconTextFields iconText_;
    int gravity_ = GravityStart;
};
