#include "toolkit/SHostWnd.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/Events.h"
#include "toolkit/PostedMessage.h"
#include "toolkit/SApplication.h"
#include "toolkit/SWindow.h"
#include "toolkit/TextUtil.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

SHostWnd::SHostWnd(std::wstring layoutName) : layoutName_(std::move(layoutName))
{
    if (SApplication* app = SApplication::instance()) {
        app->addHost(this);
    }
}

SHostWnd::~SHostWnd()
{
    // A host that registered itself as the owner of a hook stops being its poster.
    unregisterHook(static_cast<const void*>(this));
    if (SApplication* app = SApplication::instance()) {
        app->removeHost(this);
    }
}

QString SHostWnd::layoutErrorText() const
{
    QStringList lines;
    for (const LayoutIssue& issue : issues_) {
        lines << issue.text();
    }
    return lines.join(QLatin1Char('\n'));
}

bool SHostWnd::applyHostAttributes(LayoutContext& context, const pugi::xml_node& root)
{
    QSize initialSize;
    bool resizable = true;
    for (const pugi::xml_attribute& a : root.attributes()) {
        const std::wstring name = QString::fromUtf8(a.name()).toStdWString();
        const std::wstring value = QString::fromUtf8(a.value()).toStdWString();
        auto bad = [&] {
            context.error(root, QStringLiteral("bad value \"%1\" for \"%2\" on <host>")
                                    .arg(QString::fromUtf8(a.value()), QString::fromUtf8(a.name())));
        };
        if (attributeNameIs(name, L"title")) {
            layoutTitle_ = toQString(value);
        } else if (attributeNameIs(name, L"trCtx")) {
            translationContext_ = toQString(value);
        } else if (attributeNameIs(name, L"size")) {
            const auto s = attrToSize(value);
            s ? void(initialSize = *s) : bad();
        } else if (attributeNameIs(name, L"minSize")) {
            const auto s = attrToSize(value);
            s ? setMinimumSize(*s) : bad();
        } else if (attributeNameIs(name, L"resizable")) {
            const auto b = attrToBool(value);
            b ? void(resizable = *b) : bad();
        } else if (attributeNameIs(name, L"frameless")) {
            const auto b = attrToBool(value);
            b ? setWindowFlag(Qt::FramelessWindowHint, *b) : bad();
        } else if (attributeNameIs(name, L"caption")) {
            const auto h = attrToStrictInt(value);
            h ? void(captionHeight_ = *h) : bad();
        } else if (attributeNameIs(name, L"icon")) {
            const SApplication* app = SApplication::instance();
            const QIcon icon = app ? app->loadIcon(value) : QIcon();
            icon.isNull() ? bad() : setWindowIcon(icon);
        } else {
            switch (root_->setAttribute(name, value, true)) {
            case AttrResult::Applied:
                break;
            case AttrResult::Unknown:
                context.error(root, QStringLiteral("unknown attribute \"%1\" on <host>").arg(QString::fromUtf8(a.name())));
                break;
            case AttrResult::Rejected:
                bad();
                break;
            }
        }
    }
    setWindowTitle(root_->translate(layoutTitle_));
    if (initialSize.isValid()) {
        resize(initialSize);
        if (!resizable) {
            setFixedSize(initialSize);
        }
    }
    return true;
}

bool SHostWnd::createWindow(QWidget* owner)
{
    if (created_) {
        return !destroyed_;
    }
    issues_.clear();
    const SApplication* app = SApplication::instance();
    if (!app || !app->loadXml(layoutName_, source_)) {
        issues_.push_back(LayoutIssue{true, toQString(layoutName_), source_.error().isEmpty()
                                                                        ? QStringLiteral("layout not found")
                                                                        : source_.error()});
        return false;
    }
    if (std::string_view(source_.root().name()) != "host") {
        issues_.push_back(LayoutIssue{true, source_.where(source_.root()),
                                      QStringLiteral("root element is <%1>, expected <host>")
                                          .arg(QString::fromUtf8(source_.root().name()))});
        return false;
    }
    if (owner) {
        setParent(owner, windowFlags() | Qt::Window);
    }
    auto* frame = qobject_cast<QVBoxLayout*>(layout());
    if (!frame) {
        frame = new QVBoxLayout(this);
        frame->setContentsMargins(0, 0, 0, 0);
    }
    root_ = new SWindow(this);
    frame->addWidget(root_);

    LayoutContext context(source_);
    // The translation context comes first so that the root's texts use it.
    if (const auto ctx = source_.root().attribute("trCtx")) {
        translationContext_ = QString::fromUtf8(ctx.value());
    }
    applyHostAttributes(context, source_.root());
    LayoutBuilder::createChildren(context, *root_, source_.root());
    root_->onCreated();
    issues_ = context.issues();
    if (context.hasErrors()) {
        delete root_;
        root_ = nullptr;
        return false;
    }
    if (!testAttribute(Qt::WA_Resized)) {
        resize(sizeHint().expandedTo(minimumSize()));
    }
    created_ = true;
    return true;
}

void SHostWnd::destroyWindow()
{
    if (!created_ || destroyed_ || destroying_) {
        return;
    }
    destroying_ = true;
    sendMessage(WM_DESTROY);
    tearDown();
}

void SHostWnd::tearDown()
{
    hide();
    if (root_) {
        // Later: the widget whose click led here is still on the call stack.
        root_->hide();
        root_->deleteLater();
        root_ = nullptr;
    }
    destroyed_ = true;
    destroying_ = false;
    afterDestroy();
    if (SApplication* app = SApplication::instance()) {
        app->hostDestroyed(this);
    }
}

SWindow* SHostWnd::findChildByName(std::wstring_view name, std::wstring_view classTag) const
{
    if (!root_ || name.empty()) {
        return nullptr;
    }
    if (root_->name() == name && (classTag.empty() || root_->isClass(classTag))) {
        return root_;
    }
    return root_->findChildByName(name, classTag);
}

SWindow* SHostWnd::findChildById(int id, std::wstring_view classTag) const
{
    if (!root_ || id == 0) {
        return nullptr;
    }
    if (root_->id() == id && (classTag.empty() || root_->isClass(classTag))) {
        return root_;
    }
    return root_->findChildById(id, classTag);
}

intptr_t SHostWnd::sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    intptr_t result = 0;
    if (handleMessage(msg, wParam, lParam, result)) {
        return result;
    }
    return defaultMessage(msg, wParam, lParam);
}

bool SHostWnd::postMessage(unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    QCoreApplication::postEvent(this, new PostedMessageEvent(msg, wParam, lParam));
    return true;
}

void SHostWnd::postDelivery(std::unique_ptr<PostedDelivery> record)
{
    QCoreApplication::postEvent(this, new PostedMessageEvent(std::move(record)));
}

bool SHostWnd::handleMessage(unsigned, uintptr_t, intptr_t, intptr_t&) { return false; }

intptr_t SHostWnd::defaultMessage(unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    switch (msg) {
    case WM_CLOSE:
        destroyWindow();
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            showMinimized();
            break;
        case SC_MAXIMIZE:
            showMaximized();
            break;
        case SC_RESTORE:
            showNormal();
            break;
        case SC_CLOSE:
            sendMessage(WM_CLOSE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SHAPE_DELIVERY:
        if (lParam != 0) {
            deliverPosted(std::unique_ptr<PostedDelivery>(reinterpret_cast<PostedDelivery*>(lParam)));
        }
        return 0;
    default:
        return 0;
    }
}

bool SHostWnd::event(QEvent* event)
{
    if (event->type() != PostedMessageEvent::eventType()) {
        return QWidget::event(event);
    }
    auto* posted = static_cast<PostedMessageEvent*>(event);
    if (posted->record) {
        // A window that is gone takes no deliveries; the record is freed with the event.
        if (isWindow()) {
            sendMessage(WM_SHAPE_DELIVERY, 0, reinterpret_cast<intptr_t>(posted->record.release()));
        }
    } else {
        sendMessage(posted->msg, posted->wParam, posted->lParam);
    }
    return true;
}

void SHostWnd::closeEvent(QCloseEvent* event)
{
    // The window system's close button: the handler decides.
    event->ignore();
    if (isWindow()) {
        sendMessage(WM_CLOSE);
    }
}

void SHostWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && captionHeight_ > 0 && event->position().y() < captionHeight_ &&
        windowHandle()) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void SHostWnd::showWindow(int command)
{
    switch (command) {
    case SW_HIDE:
        hide();
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        showNormal();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        showMaximized();
        break;
    default:
        show();
        break;
    }
}

void SHostWnd::centerWindow()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    QRect frame = geometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void SHostWnd::retranslate()
{
    if (!root_) {
        return;
    }
    setWindowTitle(root_->translate(layoutTitle_));
    root_->onLanguageChanged();
    root_->forEachDescendant([](SWindow& w) { w.onLanguageChanged(); });
}

void SHostWnd::dispatchEvent(EventArgs* event)
{
    // Events of widgets being built (an edit given its text) reach nobody.
    if (!isWindow()) {
        return;
    }
    onEvent(event);
    if (!event->handled) {
        defaultEvent(event);
    }
}

void SHostWnd::onEvent(EventArgs*) {}

void SHostWnd::defaultEvent(EventArgs*) {}
