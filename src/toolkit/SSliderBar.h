#pragma once

#include "toolkit/SWindow.h"

// A slider ("sliderbar"). Moving it with the mouse, the wheel or the keys
// fires EventSliderPos (17000) for every new position; setting the value from
// code fires nothing.
//
// Attributes: "min", "max", "value", "vertical"; skins "skin" (track, default
// "_sys.slider.track"), "posSkin" (the part up to the thumb, default
// "_sys.slider.fill"), "thumbSkin" (states 0 normal, 1 hover, 2 pushed,
// 3 disabled; default "_sys.slider.thumb").
class SSliderBar : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"sliderbar")
public:
    explicit SSliderBar(QWidget* parent = nullptr);

    int getValue() const { return value_; }
    // Clamped to the range; fires nothing.
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    bool isVertical() const { return vertical_; }

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    QSize sizeHint() const override;

    // Geometry, for painting subclasses.
    QRect trackRect() const;
    QRect thumbRect() const;

protected:
    void onPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize thumbSize() const;
    int valueAt(const QPoint& point) const;
    // Sets the value and fires the event when it changed.
    void moveByUser(int value);

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool vertical_ = false;
    bool dragging_ = false;
    int dragOffset_ = 0;
    std::shared_ptr<ISkin> posSkin_;
    std::shared_ptr<ISkin> thumbSkin_;
    friend struct SliderAttributes;
};
