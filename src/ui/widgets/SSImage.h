#pragma once

#include "toolkit/SWindow.h"

#include <cstdint>

// A picture that reports the colour under a left click ("stimage"): the
// colour pad of the lighting and DPI panels. Its picture is the window's
// "skin", drawn in state 0 over the whole widget.
class SSImage : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"stimage")
public:
    // Told of every left click: the key flags (MK_*), the point as the widget
    // received it (relative to its host window) and the picked colour, whose
    // bytes in memory are blue, green, red, alpha (0 outside the skin).
    class IFuncProxy {
    public:
        virtual ~IFuncProxy() = default;
        virtual void call(unsigned keyFlags, int x, int y, std::uint32_t* colour) = 0;
    };

    // Calls a member function of an object.
    template <class T>
    class FuncProxy : public IFuncProxy {
    public:
        using Member = void (T::*)(unsigned keyFlags, int x, int y, std::uint32_t* colour);
        FuncProxy(T* object, Member member) : object_(object), member_(member) {}
        void call(unsigned keyFlags, int x, int y, std::uint32_t* colour) override
        {
            (object_->*member_)(keyFlags, x, y, colour);
        }

    private:
        T* object_;
        Member member_;
    };

    explicit SSImage(QWidget* parent = nullptr);

    // The proxy is not owned: whoever installs one deletes it after replacing it.
    void setFuncProxy(IFuncProxy* proxy) { proxy_ = proxy; }
    IFuncProxy* funcProxy() const { return proxy_; }
    // The colour of the skin's state 0 at its own size, at a point relative to
    // the widget; 0 outside the skin or without one.
    std::uint32_t colourAt(const QPoint& point) const;

protected:
    void onPaint(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    IFuncProxy* proxy_ = nullptr;
};
