#include "toolkit/SMenu.h"

#include "toolkit/AttributeValue.h"
#include "toolkit/SApplication.h"
#include "toolkit/TextUtil.h"
#include "toolkit/XmlSource.h"

#include <QMenu>

#include <pugixml.hpp>

namespace {

QString utf8(const char* text) { return QString::fromUtf8(text); }

QString translated(const QString& text, const QString& context)
{
    const SApplication* app = SApplication::instance();
    return app ? app->translate(text, context) : text;
}

}  // namespace

SMenuBase::SMenuBase(Format format) : format_(format) {}

SMenuBase::~SMenuBase() = default;

bool SMenuBase::loadMenu(std::wstring_view resourceName)
{
    const SApplication* app = SApplication::instance();
    XmlSource source;
    if (!app || !app->loadXml(resourceName, source)) {
        error_ = source.error().isEmpty() ? toQString(resourceName) + QStringLiteral(": not found") : source.error();
        menu_.reset();
        return false;
    }
    return loadMenu(source.root(), source.label());
}

bool SMenuBase::loadMenu(const pugi::xml_node& root, const QString& where)
{
    menu_.reset();
    error_.clear();
    const std::string_view rootName = root.name();
    if (rootName != format_.root && !(format_.alternateRoot && rootName == format_.alternateRoot)) {
        error_ = QStringLiteral("%1: root <%2> is not a menu of this kind").arg(where, utf8(root.name()));
        return false;
    }
    auto menu = std::make_unique<QMenu>();
    QString context;
    for (const pugi::xml_attribute& a : root.attributes()) {
        const std::string_view name = a.name();
        if (name == "trCtx") {
            context = utf8(a.value());
        } else if (name == "width" && rootName == format_.root) {
            const auto width = attrToStrictInt(utf8(a.value()).toStdWString());
            if (!width) {
                error_ = QStringLiteral("%1: bad width \"%2\"").arg(where, utf8(a.value()));
                return false;
            }
            menu->setMinimumWidth(*width);
        } else if (rootName == format_.root || (name != "id" && name != "text")) {
            error_ = QStringLiteral("%1: unknown attribute \"%2\" on <%3>").arg(where, utf8(a.name()), utf8(root.name()));
            return false;
        }
    }
    if (!build(*menu, root, where, context)) {
        return false;
    }
    menu_ = std::move(menu);
    return true;
}

bool SMenuBase::build(QMenu& menu, const pugi::xml_node& parent, const QString& where, const QString& context)
{
    for (const pugi::xml_node& node : parent.children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        const std::string_view tag = node.name();
        if (tag == "sep") {
            menu.addSeparator();
            continue;
        }
        if (tag != format_.item && tag != format_.popup) {
            error_ = QStringLiteral("%1: unknown element <%2> in a menu").arg(where, utf8(node.name()));
            return false;
        }
        const QString text = translated(utf8(node.attribute("text").value()), context);
        const bool isPopup = (tag == format_.popup && tag != format_.item) || node.first_child().type() == pugi::node_element;
        QAction* action = nullptr;
        if (isPopup) {
            QMenu* sub = menu.addMenu(text);
            if (!build(*sub, node, where, context)) {
                return false;
            }
            action = sub->menuAction();
        } else {
            action = menu.addAction(text);
        }
        for (const pugi::xml_attribute& a : node.attributes()) {
            const std::string_view name = a.name();
            const std::wstring value = utf8(a.value()).toStdWString();
            if (name == "id") {
                action->setData(attrToInt(value));
            } else if (name == "disable") {
                action->setEnabled(!attrToBool(value).value_or(false));
            } else if (name == "check") {
                action->setCheckable(true);
                action->setChecked(attrToBool(value).value_or(false));
            } else if (name == "icon") {
                const SApplication* app = SApplication::instance();
                action->setIcon(app ? app->loadIcon(value) : QIcon());
            } else if (name != "text") {
                error_ = QStringLiteral("%1: unknown attribute \"%2\" on <%3>").arg(where, utf8(a.name()), utf8(node.name()));
                return false;
            }
        }
    }
    return true;
}

int SMenuBase::trackPopupMenu(unsigned flags, int x, int y, IMessageTarget* owner, int)
{
    if (!menu_) {
        return 0;
    }
    const QAction* chosen = menu_->exec(QPoint(x, y));
    if (!chosen || !chosen->data().isValid()) {
        return 0;
    }
    const int id = chosen->data().toInt();
    if (!(flags & TPM_RETURNCMD) && owner) {
        owner->sendMessage(WM_COMMAND, makeWParam(static_cast<unsigned>(id), 0), 0);
    }
    return id;
}
