#pragma once

// Shared pieces of the custom widget tests: an application object with the
// standard and custom widgets, skins of solid-coloured states, layouts built
// from text, pictures of widgets, and mouse and key events sent directly.

#include "ui/widgets/CustomWidgets.h"

#include "toolkit/LayoutBuilder.h"
#include "toolkit/SApplication.h"
#include "toolkit/SWindow.h"
#include "toolkit/Skin.h"
#include "toolkit/StandardWidgets.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace widgettest {

// An image skin of `colours.size()` states of `size` each, state n filled with colours[n].
inline std::shared_ptr<ISkin> solidStrip(QSize size, const std::vector<QColor>& colours)
{
    QImage strip(size.width() * static_cast<int>(colours.size()), size.height(), QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    {
        QPainter painter(&strip);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (size_t i = 0; i < colours.size(); ++i)
            painter.fillRect(QRect(QPoint(static_cast<int>(i) * size.width(), 0), size), colours[i]);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    ImageSkin::Options options;
    options.states = static_cast<int>(colours.size());
    return ImageSkin::fromData(png, options);
}

// Distinct opaque colours for states 0, 1, 2, ...
inline std::vector<QColor> stateColours(int count, int seed = 0)
{
    std::vector<QColor> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(QColor::fromHsv((seed * 37 + i * 45) % 360, 255, 60 + (i * 23) % 190).toRgb());
    return colours;
}

// Colours as "#aarrggbb", so that failures read well.
inline std::string hex(const QColor& colour)
{
    return colour.name(QColor::HexArgb).toStdString();
}
inline std::string hexAt(const QImage& image, int x, int y)
{
    return hex(image.pixelColor(x, y));
}

// The application object of start-up, with every widget class registered.
class WidgetsApp : public testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        registerCustomWidgets(*app);
        ASSERT_TRUE(app->loadSystemResources());
        root = std::make_unique<SWindow>();
        root->resize(400, 400);
    }
    void TearDown() override
    {
        root.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }

    void addSkin(const std::wstring& name, std::shared_ptr<ISkin> skin)
    {
        ASSERT_TRUE(skin);
        app->skinPool().add(name, std::move(skin));
    }

    // Builds `xml` (one widget element or several inside <layout>) below the
    // root; returns the problems found.
    std::vector<LayoutIssue> build(const std::string& xml)
    {
        XmlSource source;
        EXPECT_TRUE(source.parse(QByteArray::fromStdString("<layout>" + xml + "</layout>"), QStringLiteral("test")))
            << source.error().toStdString();
        LayoutContext context(source);
        LayoutBuilder::createChildren(context, *root, source.root());
        return context.issues();
    }

    template <class T>
    T* built(const std::string& xml, const wchar_t* name)
    {
        for (const LayoutIssue& issue : build(xml))
            ADD_FAILURE() << issue.text().toStdString();
        auto* widget = root->findChildByName(name);
        EXPECT_TRUE(widget && widget->isClass(T::kClassTag));
        return static_cast<T*>(widget);
    }

    std::unique_ptr<SApplication> app;
    std::unique_ptr<SWindow> root;
};

// What the widget paints at `size`, over a transparent image.
inline QImage picture(QWidget& widget, QSize size)
{
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline void sendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons, modifiers);
    QCoreApplication::sendEvent(&widget, &event);
}
inline void press(QWidget& w, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(w, QEvent::MouseButtonPress, pos, button, button, modifiers);
}
inline void release(QWidget& w, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}
inline void moveTo(QWidget& w, QPoint pos, Qt::MouseButtons held = Qt::NoButton)
{
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, held);
}
inline void click(QWidget& w, QPoint pos)
{
    press(w, pos);
    release(w, pos);
}
inline void enter(QWidget& w, QPoint pos = QPoint(1, 1))
{
    const QPointF local(pos);
    const QPointF global(w.mapToGlobal(pos));
    QEnterEvent event(local, local, global);
    QCoreApplication::sendEvent(&w, &event);
}
inline void leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &event);
}
inline void key(QWidget& w, int keyCode, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, keyCode, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&w, &down);
    QKeyEvent up(QEvent::KeyRelease, keyCode, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&w, &up);
}

} // namespace widgettest
