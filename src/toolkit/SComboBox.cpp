#include "toolkit/SComboBox.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/LayoutBuilder.h"
#include "toolkit/TextUtil.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QPainter>

#include <pugixml.hpp>

namespace {
constexpr int kOpenState = 2;
constexpr int kArrowMargin = 6;
}  // namespace

namespace {

// The colour the combo box stands on: the nearest background colour of it or its parents.
QColor groundColor(const SWindow& combo)
{
    for (const SWindow* w = &combo; w; w = w->parentWindow()) {
        if (colorAlpha(w->backgroundColor()) == 255) {
            return toQColor(w->backgroundColor());
        }
    }
    return QColor();
}

}  // namespace

// A QComboBox whose popup state the owner can see, and whose list matches the
// colours the combo box stands on.
class ComboWithPopupState : public QComboBox {
public:
    ComboWithPopupState(SComboBox* owner, bool& open) : QComboBox(owner), owner_(owner), open_(open) {}
    void showPopup() override
    {
        open_ = true;
        const QColor ground = groundColor(*owner_);
        if (ground.isValid()) {
            QPalette p = view()->palette();
            p.setColor(QPalette::Base, ground);
            p.setColor(QPalette::Window, ground);
            p.setColor(QPalette::Text, owner_->palette().color(QPalette::WindowText));
            view()->setPalette(p);
        }
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        open_ = false;
        update();
    }

private:
    SComboBox* owner_;
    bool& open_;
};

struct ComboAttributes {
    static AttrResult curSel(SComboBox& w, const std::wstring& v, bool loading)
    {
        const auto n = attrToStrictInt(v);
        if (!n) {
            return AttrResult::Rejected;
        }
        // While loading, the items may follow the attribute.
        if (loading) {
            w.pendingCurSel_ = *n;
        } else {
            w.setCurSel(*n);
        }
        return AttrResult::Applied;
    }
    static AttrResult dropItems(SComboBox& w, const std::wstring& v, bool)
    {
        const auto n = attrToStrictInt(v);
        if (!n || *n < 1) {
            return AttrResult::Rejected;
        }
        w.combo_->setMaxVisibleItems(*n);
        return AttrResult::Applied;
    }
    static AttrResult btnSkin(SComboBox& w, const std::wstring& v, bool)
    {
        w.arrowSkin_ = SWindow::skinByName(v);
        w.combo_->update();
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<SComboBox> kComboAttributes[] = {
    {L"curSel", &ComboAttributes::curSel},
    {L"dropItems", &ComboAttributes::dropItems},
    {L"btnSkin", &ComboAttributes::btnSkin},
};

}  // namespace

SComboBox::SComboBox(QWidget* parent) : SWindow(parent), combo_(new ComboWithPopupState(this, popupOpen_))
{
    addEvent(EventCBSelChange::kEventId, EventCBSelChange::kEventName);
    setFocusProxy(combo_);
    setSkin(skinByName(L"_sys.combobox"));
    arrowSkin_ = skinByName(L"_sys.combobox.arrow");
    combo_->installEventFilter(this);
    combo_->setAttribute(Qt::WA_Hover);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (quiet_) {
            return;
        }
        EventCBSelChange event;
        event.nCurSel = index;
        fireEvent(event);
    });
}

void SComboBox::setIndexQuietly(int index)
{
    quiet_ = true;
    combo_->setCurrentIndex(index);
    quiet_ = false;
}

int SComboBox::getCurSel() const { return combo_->currentIndex(); }

bool SComboBox::setCurSel(int index)
{
    if (index < -1 || index >= combo_->count()) {
        return false;
    }
    setIndexQuietly(index);
    return true;
}

int SComboBox::getCount() const { return combo_->count(); }

int SComboBox::insertItem(int index, const std::wstring& text, intptr_t data)
{
    const int at = index < 0 || index > combo_->count() ? combo_->count() : index;
    const int selected = combo_->currentIndex();
    quiet_ = true;
    combo_->insertItem(at, toQString(text), QVariant::fromValue<qlonglong>(data));
    // Keep the selection on the same item, or none.
    combo_->setCurrentIndex(selected < 0 ? -1 : (selected >= at ? selected + 1 : selected));
    quiet_ = false;
    layoutTexts_.insert(layoutTexts_.begin() + at, QString());
    return at;
}

bool SComboBox::deleteItem(int index)
{
    if (index < 0 || index >= combo_->count()) {
        return false;
    }
    quiet_ = true;
    combo_->removeItem(index);
    quiet_ = false;
    layoutTexts_.erase(layoutTexts_.begin() + index);
    return true;
}

void SComboBox::resetContent()
{
    quiet_ = true;
    combo_->clear();
    quiet_ = false;
    layoutTexts_.clear();
}

std::wstring SComboBox::getItemText(int index) const
{
    return index >= 0 && index < combo_->count() ? toWString(combo_->itemText(index)) : std::wstring();
}

intptr_t SComboBox::getItemData(int index) const
{
    return index >= 0 && index < combo_->count() ? static_cast<intptr_t>(combo_->itemData(index).toLongLong()) : 0;
}

AttrResult SComboBox::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (auto r = applyAttribute(kComboAttributes, *this, name, value, loading)) {
        return *r;
    }
    return SWindow::setAttribute(name, value, loading);
}

bool SComboBox::handleChildElement(LayoutContext& context, const pugi::xml_node& element)
{
    if (std::string_view(element.name()) != "item") {
        return false;
    }
    QString text;
    intptr_t data = 0;
    for (const pugi::xml_attribute& a : element.attributes()) {
        const std::string_view n = a.name();
        if (n == "text") {
            text = QString::fromUtf8(a.value());
        } else if (n == "data") {
            data = attrToInt(QString::fromUtf8(a.value()).toStdWString());
        } else {
            context.error(element, QStringLiteral("unknown attribute \"%1\" on <item>").arg(QString::fromUtf8(a.name())));
        }
    }
    const int at = insertItem(-1, toWString(translate(text)), data);
    layoutTexts_[static_cast<size_t>(at)] = text;
    if (pendingCurSel_ >= 0 && pendingCurSel_ < combo_->count()) {
        setIndexQuietly(pendingCurSel_);
    }
    return true;
}

void SComboBox::onLanguageChanged()
{
    SWindow::onLanguageChanged();
    for (size_t i = 0; i < layoutTexts_.size(); ++i) {
        if (!layoutTexts_[i].isEmpty()) {
            combo_->setItemText(static_cast<int>(i), translate(layoutTexts_[i]));
        }
    }
}

QSize SComboBox::sizeHint() const { return combo_->sizeHint().expandedTo(QSize(80, 28)); }

void SComboBox::resizeEvent(QResizeEvent* event)
{
    SWindow::resizeEvent(event);
    combo_->setGeometry(rect());
}

bool SComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == combo_ && event->type() == QEvent::Paint && skin()) {
        paintFace();
        return true;
    }
    return SWindow::eventFilter(watched, event);
}

void SComboBox::paintFace()
{
    QPainter painter(combo_);
    int state = 0;
    if (isDisabled(true)) {
        state = 3;
    } else if (popupOpen_) {
        state = kOpenState;
    } else if (combo_->underMouse()) {
        state = 1;
    }
    const QRect r = combo_->rect();
    skin()->draw(painter, r, state);
    int arrowLeft = r.right() - kArrowMargin;
    if (arrowSkin_) {
        const QSize a = arrowSkin_->size().isEmpty() ? QSize(12, 12) : arrowSkin_->size();
        const QRect arrow(r.right() - kArrowMargin - a.width(), r.top() + (r.height() - a.height()) / 2, a.width(),
                          a.height());
        arrowSkin_->draw(painter, arrow, state);
        arrowLeft = arrow.left();
    }
    QRect textArea = r.marginsRemoved(QMargins(8, 0, 0, 0));
    textArea.setRight(arrowLeft - kArrowMargin);
    QColor color = palette().color(QPalette::WindowText);
    if (isDisabled(true)) {
        color = palette().color(QPalette::Disabled, QPalette::WindowText);
    }
    painter.setPen(color);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, combo_->currentText());
}
