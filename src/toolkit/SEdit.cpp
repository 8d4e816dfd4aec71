#include "toolkit/SEdit.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/SMenu.h"
#include "toolkit/TextUtil.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

// Ids of the toolkit's edit menu (SMENU:SYS_EDIT_MENU).
enum EditMenuCommand { kCut = 1, kCopy = 2, kPaste = 3, kDelete = 4, kSelectAll = 5 };

constexpr int kFocusedState = 2;

}  // namespace

struct EditAttributes {
    template <class Fn>
    static AttrResult flag(const std::wstring& v, Fn&& apply)
    {
        const auto b = attrToBool(v);
        if (!b) {
            return AttrResult::Rejected;
        }
        apply(*b);
        return AttrResult::Applied;
    }
    static AttrResult readOnly(SEdit& w, const std::wstring& v, bool)
    {
        return flag(v, [&](bool on) { w.setReadOnly(on); });
    }
    static AttrResult password(SEdit& w, const std::wstring& v, bool)
    {
        return flag(v, [&](bool on) { w.editor_->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); });
    }
    static AttrResult number(SEdit& w, const std::wstring& v, bool)
    {
        return flag(v, [&](bool on) {
            static const QRegularExpression digits(QStringLiteral("[0-9]*"));
            w.editor_->setValidator(on ? new QRegularExpressionValidator(digits, w.editor_) : nullptr);
        });
    }
    static AttrResult maxLength(SEdit& w, const std::wstring& v, bool)
    {
        const auto n = attrToStrictInt(v);
        if (!n || *n < 0) {
            return AttrResult::Rejected;
        }
        w.setMaxLength(*n);
        return AttrResult::Applied;
    }
    static AttrResult cueText(SEdit& w, const std::wstring& v, bool)
    {
        w.editor_->setPlaceholderText(w.translate(toQString(v)));
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<SEdit> kEditAttributes[] = {
    {L"readOnly", &EditAttributes::readOnly},   {L"password", &EditAttributes::password},
    {L"number", &EditAttributes::number},       {L"maxLength", &EditAttributes::maxLength},
    {L"cueText", &EditAttributes::cueText},
};

}  // namespace

SEdit::SEdit(QWidget* parent) : SWindow(parent), editor_(new QLineEdit(this))
{
    addEvent(EventRichEditNotify::kEventId, EventRichEditNotify::kEventName);
    editor_->setFrame(false);
    editor_->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The skin draws the frame; the editor shows only text, in the widget's text colour.
    QPalette transparent = editor_->palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    editor_->setPalette(transparent);
    editor_->setAutoFillBackground(false);
    editor_->setContextMenuPolicy(Qt::DefaultContextMenu);
    editor_->installEventFilter(this);
    setFocusProxy(editor_);
    setSkin(skinByName(L"_sys.edit"));
    setAttribute(L"padding", L"6,2,6,2");
    connect(editor_, &QLineEdit::textChanged, this, [this] {
        EventRichEditNotify event;
        event.iNotify = EN_CHANGE;
        fireEvent(event);
    });
}

AttrResult SEdit::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kEditAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

std::wstring SEdit::windowText() const { return toWString(editor_->text()); }

void SEdit::setDisplayText(const QString& text)
{
    if (editor_->text() != text) {
        editor_->setText(text);
    }
}

void SEdit::setReadOnly(bool readOnly) { editor_->setReadOnly(readOnly); }

void SEdit::setMaxLength(int length) { editor_->setMaxLength(length > 0 ? length : 32767); }

QSize SEdit::sizeHint() const
{
    const QMargins& m = padding();
    const QSize inner = editor_->sizeHint();
    return QSize(120, std::max(inner.height() + m.top() + m.bottom(), 26));
}

int SEdit::skinState() const
{
    if (isDisabled(true)) {
        return 3;
    }
    if (editor_->hasFocus()) {
        return kFocusedState;
    }
    return isHover() ? 1 : 0;
}

void SEdit::resizeEvent(QResizeEvent* event)
{
    SWindow::resizeEvent(event);
    editor_->setGeometry(rect().marginsRemoved(padding()));
}

bool SEdit::editorEvent(QEvent*) { return false; }

bool SEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor_) {
        return SWindow::eventFilter(watched, event);
    }
    if (editorEvent(event)) {
        return true;
    }
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        update();
        break;
    case QEvent::ContextMenu:
        showEditMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        break;
    }
    return false;
}

void SEdit::changeEvent(QEvent* event)
{
    SWindow::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

void SEdit::showEditMenu(const QPoint& globalPos)
{
    SMenu menu;
    if (!menu.loadMenu(L"SMENU:SYS_EDIT_MENU")) {
        return;
    }
    switch (menu.trackPopupMenu(TPM_RETURNCMD, globalPos.x(), globalPos.y(), nullptr)) {
    case kCut:
        editor_->cut();
        break;
    case kCopy:
        editor_->copy();
        break;
    case kPaste:
        editor_->paste();
        break;
    case kDelete:
        editor_->del();
        break;
    case kSelectAll:
        editor_->selectAll();
        break;
    default:
        break;
    }
}
