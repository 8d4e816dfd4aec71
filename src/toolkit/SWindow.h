#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/AttrResult.h"
#include "toolkit/AttributeValue.h"
#include "toolkit/Color.h"
#include "toolkit/EventSet.h"
#include "toolkit/Events.h"
#include "toolkit/Skin.h"

namespace pugi {
class xml_node;
}
class LayoutContext;
class SHostWnd;

// Gives a widget class its XML tag. Put it first in the class body of every
// widget class; it leaves the access at public:
//
//   class SCheckBoxEx : public SCheckBox {
//       MOUSECFG_WIDGET_CLASS(SCheckBox, L"checkex")
//   public:
//       explicit SCheckBoxEx(QWidget* parent = nullptr);
//       ...
//   };
//
// Register the class with SApplication::registerWindowClass<SCheckBoxEx>()
// (it is then built for <checkex> elements); registering never replaces a
// class already registered under that tag. isClass(L"checkex") and
// isClass(L"check") and isClass(L"window") are then all true for it.
#define MOUSECFG_WIDGET_CLASS(BaseClass, tag)                                                  \
public:                                                                                        \
    static constexpr const wchar_t* kClassTag = tag;                                           \
    const wchar_t* classTag() const override { return kClassTag; }                             \
    bool isClass(std::wstring_view t) const override { return t == kClassTag || BaseClass::isClass(t); }

// The base of every widget ("window"): a QWidget with a name, a numeric id, a
// user value, string attributes, a skin, colours, text, tooltip, the states
// hover/pushed/checked/disabled, events, and its place in a layout.
//
// Attributes. The layout builder calls setAttribute(name, value, true) for
// every XML attribute; code may call it later with loading false. A class
// handles its own names (compared without regard to case) and passes every
// other name to its base class; the base returns AttrResult::Unknown for names
// nobody knows, which the builder reports as an error with file and line.
// See AttributeTable.h for the per-class table of attributes.
//
// Painting. paintEvent calls onPaint(QPainter&). The base draws the
// background colour, the skin in skinState() over the whole rectangle, the
// border, then the text in textRect(). Override onPaint to draw differently;
// draw a skin with `skin->draw(painter, rect, state)`; skins come from
// skinByName() (the application's skin pool).
//
// Events. fireEvent() offers an event to the widget's own subscribers in
// subscription order until one marks it handled, then, unless handled, to the
// host window's event handler (SHostWnd::onEvent) and the host's default
// handling. Only registered event ids can be subscribed; classes register
// theirs in their constructor with addEvent(EventXxx::kEventId, EventXxx::kEventName).
// Every widget has EventCmd (10000).
//
// Mouse. Clickable widgets (setClickable(true)) take the left button: press
// sets pushed, release inside calls onClick(), whose default fires EventCmd.
// Other widgets leave mouse presses to their parent. Subclasses overriding
// Qt's mouse or enter/leave handlers call the base handler to keep the states.
//
// Timeline. registerTimeline() makes the application's timeline call
// onNextFrame() every 10 ms while this widget is visible; unregisterTimeline()
// (or destruction) ends it.
class SWindow : public QWidget {
public:
    static constexpr const wchar_t* kClassTag = L"window";

    explicit SWindow(QWidget* parent = nullptr);
    ~SWindow() override;

    // Class of the widget, answered by XML tag (own tag and the base classes' tags).
    virtual const wchar_t* classTag() const { return kClassTag; }
    virtual bool isClass(std::wstring_view tag) const { return tag == kClassTag; }

    // Identity. Setting a name also takes the id of that name from the
    // application's named-ID registry, unless an id was set explicitly.
    const std::wstring& name() const { return name_; }
    void setName(const std::wstring& name);
    int id() const { return id_; }
    void setId(int id);
    intptr_t userData() const { return userData_; }
    void setUserData(intptr_t value) { userData_ = value; }

    using QWidget::setAttribute;
    virtual AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false);

    // Text. Text from a layout passes through the installed translation (and
    // follows it when the translation changes); text set here is shown as given.
    virtual std::wstring windowText() const;
    void setWindowText(const std::wstring& text);
    QString displayText() const { return text_; }
    // Tooltip, shown as given.
    void setToolTipText(const std::wstring& text);

    // Skin and colours.
    const std::shared_ptr<ISkin>& skin() const { return skin_; }
    void setSkin(std::shared_ptr<ISkin> skin);
    // A skin of the application's skin pool, or null.
    static std::shared_ptr<ISkin> skinByName(std::wstring_view name);
    SColorRef backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(SColorRef color);
    SColorRef textColor() const { return textColor_; }
    void setTextColor(SColorRef color);

    // States.
    bool isHover() const { return hover_; }
    bool isPushed() const { return pushed_; }
    bool isChecked() const { return checked_; }
    virtual void setCheck(bool checked);
    // Disabled itself, or (includeParents) because a parent is disabled.
    bool isDisabled(bool includeParents = false) const;
    void enableWindow(bool enable);
    void setWindowVisible(bool visible);
    bool isWindowVisible() const { return isVisible(); }
    bool isClickable() const { return clickable_; }
    void setClickable(bool clickable);

    // Lookup anywhere below this widget (depth first, in creation order),
    // optionally only widgets of a class; null on a miss. Names compare exactly.
    SWindow* findChildByName(std::wstring_view name, std::wstring_view classTag = {}) const;
    SWindow* findChildById(int id, std::wstring_view classTag = {}) const;
    template <class T>
    T* findChildByName(std::wstring_view name) const
    {
        return static_cast<T*>(findChildByName(name, T::kClassTag));
    }
    template <class T>
    T* findChildById(int id) const
    {
        return static_cast<T*>(findChildById(id, T::kClassTag));
    }
    // Direct child widgets, in creation order.
    std::vector<SWindow*> childWindows() const;
    // Every widget below this one, depth first.
    void forEachDescendant(const std::function<void(SWindow&)>& visit) const;
    SWindow* parentWindow() const;
    SHostWnd* hostWindow() const;

    // Events.
    bool addEvent(int eventId, std::wstring name) { return events_.addEvent(eventId, std::move(name)); }
    const EventSet& events() const { return events_; }
    // Returns a token for unsubscribeEvent, or 0 when the event is not registered.
    int subscribeEvent(int eventId, EventSet::Handler handler);
    template <class T>
    int subscribeEvent(int eventId, T* object, bool (T::*handler)(EventArgs*))
    {
        return subscribeEvent(eventId, [object, handler](EventArgs* e) { return (object->*handler)(e); });
    }
    bool unsubscribeEvent(int eventId, int token) { return events_.unsubscribe(eventId, token); }
    void fireEvent(EventArgs& event);

    // Layout of the children: "vbox" (default), "hbox" or "pos".
    enum class LayoutKind { VBox, HBox, Pos };
    LayoutKind layoutKind() const { return layoutKind_; }
    // Fixed sizes (-1: the preferred size), position in a "pos" parent, weight in a box parent.
    struct Placement {
        int width = -1;
        int height = -1;
        bool hasPos = false;
        EdgeOffset x;
        EdgeOffset y;
        int weight = 0;
    };
    const Placement& placement() const { return placement_; }
    // Inner margin between the widget's edge and its children and text.
    const QMargins& padding() const { return padding_; }

    // Layout building. The builder creates each child element through the
    // application's class registry, unless handleChildElement() takes it
    // (lists take <template>, combo boxes <item>, tab controls their pages).
    // onCreated() runs once the widget's attributes and children are built.
    virtual bool handleChildElement(LayoutContext& context, const pugi::xml_node& element);
    virtual void onCreated() {}
    // Adds a built child widget to this widget's layout.
    void addChildWidget(SWindow* child);
    // With a manual layout, children keep the geometry code gives them.
    void setManualLayout(bool manual) { manualLayout_ = manual; }
    void addStretch(int weight);
    // Builds the children of `element` (a row template, say) inside this
    // widget; false when the XML had errors (each is printed as a warning).
    bool createChildrenFromXml(const pugi::xml_node& element);

    // Timeline.
    void registerTimeline();
    void unregisterTimeline();
    virtual void onNextFrame() {}

    // Called on every widget of a host when the translation changed.
    virtual void onLanguageChanged();
    // The translation context of this widget's host ("trCtx" of the layout).
    QString translationContext() const;
    QString translate(const QString& source) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void onPaint(QPainter& painter);
    void drawBackground(QPainter& painter);
    void drawText(QPainter& painter, const QRect& rect);
    // Where the base draws its text: the rectangle less the padding.
    virtual QRect textRect() const;
    // Skin state: 3 disabled, 2 pushed, 1 hover, 0 normal.
    virtual int skinState() const;
    // Horizontal and vertical text alignment (Qt::Alignment flags).
    Qt::Alignment textAlignment() const { return alignment_; }
    void setTextAlignment(Qt::Alignment alignment);
    // Shows text; subclasses with an inner Qt widget (edits) override.
    virtual void setDisplayText(const QString& text);
    virtual void onClick();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setLayoutKind(LayoutKind kind);
    void applyPlacement();
    void ensureLayout();

    std::wstring name_;
    int id_ = 0;
    bool idExplicit_ = false;
    intptr_t userData_ = 0;
    QString text_;
    QString layoutText_;  // source text from the layout, before translation
    bool textFromLayout_ = false;
    QString layoutTip_;
    bool tipFromLayout_ = false;
    std::shared_ptr<ISkin> skin_;
    SColorRef backgroundColor_ = 0;
    SColorRef textColor_ = 0;
    SColorRef textColorDisabled_ = 0;
    SColorRef borderColor_ = 0;
    int borderRadius_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap_ = false;
    bool hover_ = false;
    bool pushed_ = false;
    bool checked_ = false;
    bool clickable_ = false;
    bool onTimeline_ = false;
    EventSet events_;
    LayoutKind layoutKind_ = LayoutKind::VBox;
    Placement placement_;
    QMargins padding_;
    int spacing_ = 0;
    bool manualLayout_ = false;

    friend struct WindowAttributes;
};
