#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shape/ShapeHook.h"
#include "toolkit/Events.h"
#include "toolkit/LayoutBuilder.h"
#include "toolkit/WindowMessages.h"

class SWindow;

// A top-level window built from a layout resource (root element <host>).
//
// Messages. sendMessage() offers every message first to handleMessage(),
// which the application overrides; when that does not take the message the
// toolkit's default handling runs:
//   WM_CLOSE          destroys the window (a dialog ends with IDCANCEL)
//   WM_DESTROY        tears the widget tree down; for the main window the
//                     message loop ends
//   WM_SYSCOMMAND     SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE
//   WM_SHAPE_DELIVERY (0x1400) hands lParam's PostedDelivery to deliverPosted
//   others            nothing, result 0
// A handler that takes WM_SHAPE_DELIVERY owns the record in lParam and must
// pass it on: deliverPosted(std::unique_ptr<PostedDelivery>(reinterpret_cast<PostedDelivery*>(lParam))).
// The window system's close button arrives as WM_CLOSE.
//
// Events. Widget events that the widget's own subscribers leave come to
// onEvent(), then, unless handled, to the default handling (dialogs end
// with the id of a clicked widget whose id is IDOK or IDCANCEL).
//
// Deliveries. As IDeliveryPoster the host queues data-model deliveries for
// the UI thread; they arrive as WM_SHAPE_DELIVERY in posting order, and are
// dropped once the window is destroyed. Every owner that registered a hook
// with this host as poster unregisters it before the host object goes; the
// host unregisters a hook whose owner is the host object itself.
class SHostWnd : public QWidget, public IMessageTarget, public IDeliveryPoster {
public:
    explicit SHostWnd(std::wstring layoutName);
    ~SHostWnd() override;

    // The object class name ("hostwnd"); hosts answer for their base classes' names too.
    virtual const wchar_t* objectClassName() const { return L"hostwnd"; }
    virtual bool isObjectClass(std::wstring_view name) const { return name == L"hostwnd"; }

    // Builds the window from its layout, owned by `owner` (may be null).
    // False when the layout is missing or has errors (see layoutIssues()).
    bool createWindow(QWidget* owner = nullptr);
    const std::vector<LayoutIssue>& layoutIssues() const { return issues_; }
    QString layoutErrorText() const;
    // Whether the window exists (created and not destroyed).
    bool isWindow() const { return created_ && !destroyed_; }
    void destroyWindow();

    SWindow* root() const { return root_; }
    // Lookup from the root (the root itself included).
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

    intptr_t sendMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0) override;
    bool postMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0) override;
    void postDelivery(std::unique_ptr<PostedDelivery> record) override;

    // SW_* show commands.
    void showWindow(int command);
    void centerWindow();
    const QString& translationContext() const { return translationContext_; }

    // Re-translates every widget's layout texts and the title.
    void retranslate();

    // Called by widgets for events their subscribers left.
    void dispatchEvent(EventArgs* event);

protected:
    // The application's message handler: return true to take the message,
    // with its result in `result`.
    virtual bool handleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result);
    // The toolkit's handling of messages the application did not take.
    virtual intptr_t defaultMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
    // The application's event handler; mark the event handled to stop it.
    virtual void onEvent(EventArgs* event);
    // The toolkit's handling of events nobody took.
    virtual void defaultEvent(EventArgs* event);
    // Runs once the window has been destroyed.
    virtual void afterDestroy() {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool applyHostAttributes(LayoutContext& context, const pugi::xml_node& root);
    void tearDown();

    std::wstring layoutName_;
    XmlSource source_;
    SWindow* root_ = nullptr;
    std::vector<LayoutIssue> issues_;
    QString translationContext_;
    QString layoutTitle_;
    int captionHeight_ = 0;
    bool created_ = false;
    bool destroyed_ = false;
    bool destroying_ = false;
};
