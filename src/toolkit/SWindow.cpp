#include "toolkit/SWindow.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/LayoutBuilder.h"
#include "toolkit/PosLayout.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/TextUtil.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <pugixml.hpp>

namespace {

std::optional<SColorRef> colorAttribute(const std::wstring& value)
{
    const SApplication* app = SApplication::instance();
    const auto color = app ? app->uiDefinitions().parseColor(value) : parseColorText(value);
    if (!color) {
        return std::nullopt;
    }
    return fromQColor(*color);
}

QString expanded(const std::wstring& value)
{
    const SApplication* app = SApplication::instance();
    const QString text = toQString(value);
    return app ? app->uiDefinitions().expandString(text) : text;
}

AttrResult applied() { return AttrResult::Applied; }

template <class Fn>
AttrResult withColor(const std::wstring& value, Fn&& apply)
{
    const auto color = colorAttribute(value);
    if (!color) {
        return AttrResult::Rejected;
    }
    apply(*color);
    return applied();
}

template <class Fn>
AttrResult withBool(const std::wstring& value, Fn&& apply)
{
    const auto flag = attrToBool(value);
    if (!flag) {
        return AttrResult::Rejected;
    }
    apply(*flag);
    return applied();
}

template <class Fn>
AttrResult withInt(const std::wstring& value, Fn&& apply)
{
    const auto number = attrToStrictInt(value);
    if (!number) {
        return AttrResult::Rejected;
    }
    apply(*number);
    return applied();
}

bool sameTree(const QObject* object) { return !(object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow()); }

// Depth-first walk below `from`, passing through non-widget and inner Qt
// objects but not into other top-level windows. Stops when `visit` returns true.
template <class Visit>
SWindow* walk(const QObject* from, Visit&& visit)
{
    for (QObject* child : from->children()) {
        if (!sameTree(child)) {
            continue;
        }
        if (auto* w = dynamic_cast<SWindow*>(child)) {
            if (visit(*w)) {
                return w;
            }
        }
        if (SWindow* found = walk(child, visit)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

// The attributes every widget takes.
struct WindowAttributes {
    static AttrResult name(SWindow& w, const std::wstring& v, bool)
    {
        w.setName(v);
        return applied();
    }
    static AttrResult id(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int id) { w.setId(id); });
    }
    static AttrResult text(SWindow& w, const std::wstring& v, bool)
    {
        w.layoutText_ = expanded(v);
        w.textFromLayout_ = true;
        w.setDisplayText(w.translate(w.layoutText_));
        return applied();
    }
    static AttrResult tip(SWindow& w, const std::wstring& v, bool)
    {
        w.layoutTip_ = expanded(v);
        w.tipFromLayout_ = true;
        w.setToolTip(w.translate(w.layoutTip_));
        return applied();
    }
    static AttrResult skin(SWindow& w, const std::wstring& v, bool)
    {
        // A name the pool does not hold leaves the skin absent.
        w.setSkin(SWindow::skinByName(v));
        return applied();
    }
    static AttrResult visible(SWindow& w, const std::wstring& v, bool)
    {
        return withBool(v, [&](bool on) { w.setWindowVisible(on); });
    }
    static AttrResult enable(SWindow& w, const std::wstring& v, bool)
    {
        return withBool(v, [&](bool on) { w.enableWindow(on); });
    }
    static AttrResult checked(SWindow& w, const std::wstring& v, bool)
    {
        return withBool(v, [&](bool on) { w.setCheck(on); });
    }
    static AttrResult data(SWindow& w, const std::wstring& v, bool)
    {
        w.setUserData(attrToInt(v));
        return applied();
    }
    static AttrResult colorBkgnd(SWindow& w, const std::wstring& v, bool)
    {
        return withColor(v, [&](SColorRef c) { w.setBackgroundColor(c); });
    }
    static AttrResult colorText(SWindow& w, const std::wstring& v, bool)
    {
        return withColor(v, [&](SColorRef c) { w.setTextColor(c); });
    }
    static AttrResult colorTextDisabled(SWindow& w, const std::wstring& v, bool)
    {
        return withColor(v, [&](SColorRef c) {
            w.textColorDisabled_ = c;
            w.update();
        });
    }
    static AttrResult colorBorder(SWindow& w, const std::wstring& v, bool)
    {
        return withColor(v, [&](SColorRef c) {
            w.borderColor_ = c;
            w.update();
        });
    }
    static AttrResult radius(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int r) {
            w.borderRadius_ = std::max(0, r);
            w.update();
        });
    }
    static AttrResult align(SWindow& w, const std::wstring& v, bool)
    {
        Qt::Alignment h;
        if (v == L"left") {
            h = Qt::AlignLeft;
        } else if (v == L"center") {
            h = Qt::AlignHCenter;
        } else if (v == L"right") {
            h = Qt::AlignRight;
        } else {
            return AttrResult::Rejected;
        }
        w.setTextAlignment((w.alignment_ & Qt::AlignVertical_Mask) | h);
        return applied();
    }
    static AttrResult valign(SWindow& w, const std::wstring& v, bool)
    {
        Qt::Alignment vertical;
        if (v == L"top") {
            vertical = Qt::AlignTop;
        } else if (v == L"middle") {
            vertical = Qt::AlignVCenter;
        } else if (v == L"bottom") {
            vertical = Qt::AlignBottom;
        } else {
            return AttrResult::Rejected;
        }
        w.setTextAlignment((w.alignment_ & Qt::AlignHorizontal_Mask) | vertical);
        return applied();
    }
    static AttrResult wordWrap(SWindow& w, const std::wstring& v, bool)
    {
        return withBool(v, [&](bool on) {
            w.wordWrap_ = on;
            w.updateGeometry();
            w.update();
        });
    }
    static AttrResult fontSize(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int px) {
            QFont f = w.font();
            f.setPixelSize(std::max(1, px));
            w.setFont(f);
        });
    }
    static AttrResult fontBold(SWindow& w, const std::wstring& v, bool)
    {
        return withBool(v, [&](bool on) {
            QFont f = w.font();
            f.setBold(on);
            w.setFont(f);
        });
    }
    static AttrResult layout(SWindow& w, const std::wstring& v, bool)
    {
        SWindow::LayoutKind kind;
        if (v == L"vbox") {
            kind = SWindow::LayoutKind::VBox;
        } else if (v == L"hbox") {
            kind = SWindow::LayoutKind::HBox;
        } else if (v == L"pos") {
            kind = SWindow::LayoutKind::Pos;
        } else {
            return AttrResult::Rejected;
        }
        if (w.QWidget::layout() && kind != w.layoutKind_) {
            return AttrResult::Rejected;  // children are already arranged
        }
        w.setLayoutKind(kind);
        return applied();
    }
    static AttrResult padding(SWindow& w, const std::wstring& v, bool)
    {
        const auto m = attrToMargins(v);
        if (!m) {
            return AttrResult::Rejected;
        }
        w.padding_ = *m;
        if (QLayout* l = w.QWidget::layout()) {
            l->setContentsMargins(*m);
        }
        w.updateGeometry();
        w.update();
        return applied();
    }
    static AttrResult spacing(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int s) {
            w.spacing_ = std::max(0, s);
            if (QLayout* l = w.QWidget::layout()) {
                l->setSpacing(w.spacing_);
            }
        });
    }
    static AttrResult size(SWindow& w, const std::wstring& v, bool)
    {
        const auto s = attrToSize(v);
        if (!s) {
            return AttrResult::Rejected;
        }
        w.placement_.width = s->width();
        w.placement_.height = s->height();
        w.applyPlacement();
        return applied();
    }
    static AttrResult width(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int value) {
            w.placement_.width = value;
            w.applyPlacement();
        });
    }
    static AttrResult height(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int value) {
            w.placement_.height = value;
            w.applyPlacement();
        });
    }
    static AttrResult pos(SWindow& w, const std::wstring& v, bool)
    {
        const std::wstring_view text = v;
        const size_t comma = text.find(L',');
        if (comma == std::wstring_view::npos) {
            return AttrResult::Rejected;
        }
        const auto x = attrToEdgeOffset(text.substr(0, comma));
        const auto y = attrToEdgeOffset(text.substr(comma + 1));
        if (!x || !y) {
            return AttrResult::Rejected;
        }
        w.placement_.hasPos = true;
        w.placement_.x = *x;
        w.placement_.y = *y;
        w.applyPlacement();
        return applied();
    }
    static AttrResult weight(SWindow& w, const std::wstring& v, bool)
    {
        return withInt(v, [&](int value) {
            w.placement_.weight = std::max(0, value);
            w.applyPlacement();
        });
    }
    static AttrResult cursor(SWindow& w, const std::wstring& v, bool)
    {
        if (v == L"hand") {
            w.setCursor(Qt::PointingHandCursor);
        } else if (v == L"arrow") {
            w.unsetCursor();
        } else {
            return AttrResult::Rejected;
        }
        return applied();
    }
};

namespace {

const AttributeRow<SWindow> kWindowAttributes[] = {
    {L"name", &WindowAttributes::name},
    {L"id", &WindowAttributes::id},
    {L"text", &WindowAttributes::text},
    {L"tip", &WindowAttributes::tip},
    {L"skin", &WindowAttributes::skin},
    {L"visible", &WindowAttributes::visible},
    {L"enable", &WindowAttributes::enable},
    {L"checked", &WindowAttributes::checked},
    {L"data", &WindowAttributes::data},
    {L"colorBkgnd", &WindowAttributes::colorBkgnd},
    {L"colorText", &WindowAttributes::colorText},
    {L"colorTextDisabled", &WindowAttributes::colorTextDisabled},
    {L"colorBorder", &WindowAttributes::colorBorder},
    {L"radius", &WindowAttributes::radius},
    {L"align", &WindowAttributes::align},
    {L"valign", &WindowAttributes::valign},
    {L"wordWrap", &WindowAttributes::wordWrap},
    {L"fontSize", &WindowAttributes::fontSize},
    {L"fontBold", &WindowAttributes::fontBold},
    {L"layout", &WindowAttributes::layout},
    {L"padding", &WindowAttributes::padding},
    {L"spacing", &WindowAttributes::spacing},
    {L"size", &WindowAttributes::size},
    {L"width", &WindowAttributes::width},
    {L"height", &WindowAttributes::height},
    {L"pos", &WindowAttributes::pos},
    {L"weight", &WindowAttributes::weight},
    {L"cursor", &WindowAttributes::cursor},
};

}  // namespace

SWindow::SWindow(QWidget* parent) : QWidget(parent)
{
    events_.addEvent(EventCmd::kEventId, EventCmd::kEventName);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

SWindow::~SWindow()
{
    if (onTimeline_) {
        if (SApplication* app = SApplication::instance()) {
            app->timeline().remove(this);
        }
    }
}

void SWindow::setName(const std::wstring& name)
{
    name_ = name;
    if (!idExplicit_) {
        const SApplication* app = SApplication::instance();
        const auto named = app ? app->namedIds().idOf(name) : std::nullopt;
        id_ = named.value_or(0);
    }
}

void SWindow::setId(int id)
{
    id_ = id;
    idExplicit_ = true;
}

AttrResult SWindow::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    return applyAttribute(kWindowAttributes, *this, name, value, loading).value_or(AttrResult::Unknown);
}

std::wstring SWindow::windowText() const { return toWString(displayText()); }

void SWindow::setWindowText(const std::wstring& text)
{
    textFromLayout_ = false;
    setDisplayText(toQString(text));
}

void SWindow::setDisplayText(const QString& text)
{
    if (text == text_) {
        return;
    }
    text_ = text;
    updateGeometry();
    update();
}

void SWindow::setToolTipText(const std::wstring& text)
{
    tipFromLayout_ = false;
    setToolTip(toQString(text));
}

void SWindow::setSkin(std::shared_ptr<ISkin> skin)
{
    skin_ = std::move(skin);
    updateGeometry();
    update();
}

std::shared_ptr<ISkin> SWindow::skinByName(std::wstring_view name)
{
    const SApplication* app = SApplication::instance();
    return app && !name.empty() ? app->skinPool().get(name) : nullptr;
}

void SWindow::setBackgroundColor(SColorRef color)
{
    backgroundColor_ = color;
    update();
}

void SWindow::setTextColor(SColorRef color)
{
    textColor_ = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(color));
    p.setColor(QPalette::Text, toQColor(color));
    p.setColor(QPalette::ButtonText, toQColor(color));
    setPalette(p);
    update();
}

void SWindow::setCheck(bool checked)
{
    if (checked_ != checked) {
        checked_ = checked;
        update();
    }
}

bool SWindow::isDisabled(bool includeParents) const
{
    return includeParents ? !isEnabled() : testAttribute(Qt::WA_ForceDisabled);
}

void SWindow::enableWindow(bool enable)
{
    setEnabled(enable);
    update();
}

void SWindow::setWindowVisible(bool visible) { setVisible(visible); }

void SWindow::setClickable(bool clickable)
{
    clickable_ = clickable;
    setFocusPolicy(clickable ? Qt::TabFocus : Qt::NoFocus);
}

SWindow* SWindow::findChildByName(std::wstring_view name, std::wstring_view classTag) const
{
    if (name.empty()) {
        return nullptr;
    }
    return walk(this, [&](const SWindow& w) { return w.name_ == name && (classTag.empty() || w.isClass(classTag)); });
}

SWindow* SWindow::findChildById(int id, std::wstring_view classTag) const
{
    if (id == 0) {
        return nullptr;
    }
    return walk(this, [&](const SWindow& w) { return w.id_ == id && (classTag.empty() || w.isClass(classTag)); });
}

std::vector<SWindow*> SWindow::childWindows() const
{
    std::vector<SWindow*> result;
    for (QObject* child : children()) {
        if (auto* w = dynamic_cast<SWindow*>(child); w && !w->isWindow()) {
            result.push_back(w);
        }
    }
    return result;
}

void SWindow::forEachDescendant(const std::function<void(SWindow&)>& visit) const
{
    walk(this, [&](SWindow& w) {
        visit(w);
        return false;
    });
}

SWindow* SWindow::parentWindow() const
{
    for (QObject* p = parent(); p; p = p->parent()) {
        if (auto* w = dynamic_cast<SWindow*>(p)) {
            return w;
        }
        if (p->isWidgetType() && static_cast<QWidget*>(p)->isWindow()) {
            return nullptr;
        }
    }
    return nullptr;
}

SHostWnd* SWindow::hostWindow() const { return dynamic_cast<SHostWnd*>(window()); }

int SWindow::subscribeEvent(int eventId, EventSet::Handler handler)
{
    return events_.subscribe(eventId, std::move(handler));
}

void SWindow::fireEvent(EventArgs& event)
{
    event.sender = this;
    event.nameFrom = name_;
    event.idFrom = id_;
    QPointer<SWindow> self(this);
    QPointer<SHostWnd> host(hostWindow());
    events_.fire(event);
    if (event.handled || !self) {
        return;
    }
    if (host) {
        host->dispatchEvent(&event);
    }
}

void SWindow::setLayoutKind(LayoutKind kind) { layoutKind_ = kind; }

void SWindow::ensureLayout()
{
    if (QWidget::layout()) {
        return;
    }
    QLayout* l = nullptr;
    switch (layoutKind_) {
    case LayoutKind::VBox:
        l = new QVBoxLayout(this);
        break;
    case LayoutKind::HBox:
        l = new QHBoxLayout(this);
        break;
    case LayoutKind::Pos:
        l = new PosLayout(this);
        break;
    }
    l->setContentsMargins(padding_);
    l->setSpacing(spacing_);
}

void SWindow::addChildWidget(SWindow* child)
{
    if (manualLayout_) {
        return;
    }
    ensureLayout();
    if (auto* box = qobject_cast<QBoxLayout*>(QWidget::layout())) {
        box->addWidget(child, child->placement_.weight);
    } else {
        QWidget::layout()->addWidget(child);
    }
}

void SWindow::addStretch(int weight)
{
    ensureLayout();
    if (auto* box = qobject_cast<QBoxLayout*>(QWidget::layout())) {
        box->addStretch(weight);
    }
}

void SWindow::applyPlacement()
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (placement_.width >= 0) {
        setFixedWidth(placement_.width);
    }
    if (placement_.height >= 0) {
        setFixedHeight(placement_.height);
    }
    if (auto* box = parentWidget() ? qobject_cast<QBoxLayout*>(parentWidget()->layout()) : nullptr) {
        box->setStretchFactor(this, placement_.weight);
    }
    updateGeometry();
}

bool SWindow::handleChildElement(LayoutContext&, const pugi::xml_node&) { return false; }

bool SWindow::createChildrenFromXml(const pugi::xml_node& element)
{
    return LayoutBuilder::buildChildren(*this, element, QStringLiteral("template"));
}

void SWindow::registerTimeline()
{
    if (SApplication* app = SApplication::instance()) {
        onTimeline_ = true;
        app->timeline().add(this);
    }
}

void SWindow::unregisterTimeline()
{
    if (SApplication* app = SApplication::instance(); app && onTimeline_) {
        onTimeline_ = false;
        app->timeline().remove(this);
    }
}

void SWindow::onLanguageChanged()
{
    if (textFromLayout_) {
        setDisplayText(translate(layoutText_));
    }
    if (tipFromLayout_) {
        setToolTip(translate(layoutTip_));
    }
}

QString SWindow::translationContext() const
{
    const SHostWnd* host = hostWindow();
    return host ? host->translationContext() : QString();
}

QString SWindow::translate(const QString& source) const
{
    const SApplication* app = SApplication::instance();
    return app ? app->translate(source, translationContext()) : source;
}

QSize SWindow::sizeHint() const
{
    if (QWidget::layout()) {
        return QWidget::sizeHint();
    }
    QSize hint = skin_ ? skin_->size() : QSize(0, 0);
    if (!text_.isEmpty()) {
        const QFontMetrics fm(font());
        const QSize textSize = fm.size(Qt::TextSingleLine, text_);
        hint = hint.expandedTo(textSize + QSize(padding_.left() + padding_.right(), padding_.top() + padding_.bottom()));
    }
    return hint;
}

void SWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    onPaint(painter);
}

void SWindow::onPaint(QPainter& painter)
{
    drawBackground(painter);
    drawText(painter, textRect());
}

void SWindow::drawBackground(QPainter& painter)
{
    const QRectF r = rect();
    if (colorAlpha(backgroundColor_) != 0) {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(toQColor(backgroundColor_));
        painter.setRenderHint(QPainter::Antialiasing, borderRadius_ > 0);
        painter.drawRoundedRect(r, borderRadius_, borderRadius_);
        painter.restore();
    }
    if (skin_) {
        skin_->draw(painter, r, skinState());
    }
    if (colorAlpha(borderColor_) != 0) {
        painter.save();
        painter.setPen(QPen(toQColor(borderColor_), 1));
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, borderRadius_ > 0);
        painter.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), borderRadius_, borderRadius_);
        painter.restore();
    }
}

void SWindow::drawText(QPainter& painter, const QRect& rect)
{
    if (text_.isEmpty()) {
        return;
    }
    QColor color = palette().color(QPalette::WindowText);
    if (isDisabled(true)) {
        color = colorAlpha(textColorDisabled_) ? toQColor(textColorDisabled_)
                                               : palette().color(QPalette::Disabled, QPalette::WindowText);
    }
    painter.save();
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(rect, static_cast<int>(alignment_) | (wordWrap_ ? Qt::TextWordWrap : 0), text_);
    painter.restore();
}

QRect SWindow::textRect() const { return rect().marginsRemoved(padding_); }

int SWindow::skinState() const
{
    if (isDisabled(true)) {
        return 3;
    }
    if (pushed_) {
        return 2;
    }
    return hover_ ? 1 : 0;
}

void SWindow::setTextAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

void SWindow::onClick()
{
    EventCmd event;
    fireEvent(event);
}

void SWindow::enterEvent(QEnterEvent* event)
{
    hover_ = true;
    update();
    QWidget::enterEvent(event);
}

void SWindow::leaveEvent(QEvent* event)
{
    hover_ = false;
    update();
    QWidget::leaveEvent(event);
}

void SWindow::mousePressEvent(QMouseEvent* event)
{
    if (!clickable_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pushed_ = true;
    update();
    event->accept();
}

void SWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!clickable_ || event->button() != Qt::LeftButton || !pushed_) {
        event->ignore();
        return;
    }
    pushed_ = false;
    update();
    event->accept();
    if (rect().contains(event->position().toPoint())) {
        onClick();
    }
}

void SWindow::keyPressEvent(QKeyEvent* event)
{
    if (clickable_ && !event->isAutoRepeat() && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return)) {
        onClick();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (SApplication* app = SApplication::instance(); app && onTimeline_) {
        app->timeline().visibilityChanged();
    }
}

void SWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    pushed_ = false;
    hover_ = false;
    if (SApplication* app = SApplication::instance(); app && onTimeline_) {
        app->timeline().visibilityChanged();
    }
}
