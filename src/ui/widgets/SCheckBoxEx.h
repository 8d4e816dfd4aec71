#pragma once

#include "ui/widgets/IconTextFields.h"

#include "toolkit/SCheckBox.h"

// A check box whose skin covers the whole widget, with an optional icon at an
// offset and the text moved by the icon and its own offsets ("checkex").
class SCheckBoxEx : public SCheckBox {
    MOUSECFG_WIDGET_CLASS(SCheckBox, L"checkex")
public:
    explicit SCheckBoxEx(QWidget* parent = nullptr);

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    QSize sizeHint() const override;
    const IconTextFields& iconText() const { return iconText_; }

protected:
    void onPaint(QPainter& painter) override;
    QRect textRect() const override;

private:
    QRect clientRect() const;
    int backgroundState() const;

    IconTextFields iconText_;
};
