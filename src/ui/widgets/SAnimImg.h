#pragma once

#include "ui/widgets/AnimImgPlayer.h"

#include "toolkit/SWindow.h"

// An image that plays its "ani_in" strip on hover (and "ani_out" after the
// mouse has left), or every "autorun" seconds, one frame per "interval" ms
// ("anmimg").
class SAnimImg : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"anmimg")
public:
    explicit SAnimImg(QWidget* parent = nullptr);
    ~SAnimImg() override;

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    void onCreated() override;
    void onNextFrame() override;
    QSize sizeHint() const override;
    const AnimImgPlayer& player() const { return player_; }

protected:
    void onPaint(QPainter& painter) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend struct AnimImgAttributes;
    void setStrip(std::shared_ptr<ISkin>& strip, std::shared_ptr<ISkin> skin, bool loading);

    AnimImgPlayer player_;
    std::shared_ptr<ISkin> aniIn_;
    std::shared_ptr<ISkin> aniOut_;
};
