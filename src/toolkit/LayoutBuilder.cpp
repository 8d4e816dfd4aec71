#include "toolkit/LayoutBuilder.h"

#include "toolkit/SApplication.h"
#include "toolkit/SWindow.h"
#include "toolkit/TextUtil.h"

#include <QDebug>

#include <algorithm>

namespace {

std::wstring wide(const char* utf8) { return QString::fromUtf8(utf8).toStdWString(); }

void includeLayout(LayoutContext& context, SWindow& parent, const pugi::xml_node& element)
{
    const pugi::xml_attribute src = element.attribute("src");
    for (const pugi::xml_attribute& a : element.attributes()) {
        if (std::string_view(a.name()) != "src") {
            context.error(element, QStringLiteral("unknown attribute \"%1\" on <include>").arg(QString::fromUtf8(a.name())));
        }
    }
    if (!src) {
        context.error(element, QStringLiteral("<include> needs \"src\""));
        return;
    }
    const std::wstring name = wide(src.value());
    const SApplication* app = SApplication::instance();
    auto source = std::make_unique<XmlSource>();
    if (!app || !app->loadXml(name, *source)) {
        context.error(element, QStringLiteral("cannot include \"%1\": %2").arg(toQString(name), source->error()));
        return;
    }
    if (std::string_view(source->root().name()) != "layout") {
        context.error(element, QStringLiteral("\"%1\" has root <%2>, expected <layout>")
                                   .arg(toQString(name), QString::fromUtf8(source->root().name())));
        return;
    }
    const pugi::xml_node root = source->root();
    for (const pugi::xml_attribute& a : root.attributes()) {
        context.error(root, QStringLiteral("unknown attribute \"%1\" on <layout>").arg(QString::fromUtf8(a.name())));
    }
    if (!context.enterInclude(element, name, std::move(source))) {
        return;
    }
    LayoutBuilder::createChildren(context, parent, context.source().root());
    context.leaveInclude();
}

void addStretch(LayoutContext& context, SWindow& parent, const pugi::xml_node& element)
{
    int weight = 1;
    for (const pugi::xml_attribute& a : element.attributes()) {
        if (std::string_view(a.name()) == "weight") {
            const auto value = attrToStrictInt(wide(a.value()));
            if (!value || *value < 0) {
                context.error(element, QStringLiteral("bad value \"%1\" for \"weight\"").arg(QString::fromUtf8(a.value())));
                continue;
            }
            weight = *value;
        } else {
            context.error(element, QStringLiteral("unknown attribute \"%1\" on <stretch>").arg(QString::fromUtf8(a.name())));
        }
    }
    if (parent.layoutKind() == SWindow::LayoutKind::Pos) {
        context.error(element, QStringLiteral("<stretch> needs a box layout (\"vbox\" or \"hbox\")"));
        return;
    }
    parent.addStretch(weight);
}

}  // namespace

LayoutContext::LayoutContext(const XmlSource& source) { sources_.push_back(&source); }

LayoutContext::~LayoutContext() = default;

void LayoutContext::error(const pugi::xml_node& node, const QString& message)
{
    issues_.push_back(LayoutIssue{true, source().where(node), message});
}

void LayoutContext::warning(const pugi::xml_node& node, const QString& message)
{
    issues_.push_back(LayoutIssue{false, source().where(node), message});
}

bool LayoutContext::hasErrors() const
{
    return std::any_of(issues_.begin(), issues_.end(), [](const LayoutIssue& i) { return i.error; });
}

QString LayoutContext::errorText() const
{
    QStringList lines;
    for (const LayoutIssue& issue : issues_) {
        lines << issue.text();
    }
    return lines.join(QLatin1Char('\n'));
}

bool LayoutContext::enterInclude(const pugi::xml_node& at, const std::wstring& resourceName,
                                 std::unique_ptr<XmlSource> source)
{
    const bool cycle = std::any_of(includeNames_.begin(), includeNames_.end(),
                                   [&](const std::wstring& n) { return equalsNoCase(n, resourceName); });
    if (cycle) {
        error(at, QStringLiteral("\"%1\" includes itself").arg(toQString(resourceName)));
        return false;
    }
    includeNames_.push_back(resourceName);
    sources_.push_back(source.get());
    included_.push_back(std::move(source));
    return true;
}

void LayoutContext::leaveInclude()
{
    includeNames_.pop_back();
    sources_.pop_back();
    // The included document is freed with the context, once the build is over.
}

void LayoutBuilder::applyAttributes(LayoutContext& context, SWindow& widget, const pugi::xml_node& element,
                                    std::initializer_list<std::string_view> skip)
{
    for (const pugi::xml_attribute& a : element.attributes()) {
        const std::string_view name = a.name();
        if (std::find(skip.begin(), skip.end(), name) != skip.end()) {
            continue;
        }
        switch (widget.setAttribute(wide(a.name()), wide(a.value()), true)) {
        case AttrResult::Applied:
            break;
        case AttrResult::Unknown:
            context.error(element, QStringLiteral("unknown attribute \"%1\" on <%2>")
                                       .arg(QString::fromUtf8(a.name()), QString::fromUtf8(element.name())));
            break;
        case AttrResult::Rejected:
            context.error(element, QStringLiteral("bad value \"%1\" for \"%2\" on <%3>")
                                       .arg(QString::fromUtf8(a.value()), QString::fromUtf8(a.name()),
                                            QString::fromUtf8(element.name())));
            break;
        }
    }
}

SWindow* LayoutBuilder::createWindow(LayoutContext& context, SWindow& parent, const pugi::xml_node& element)
{
    const SApplication* app = SApplication::instance();
    SWindow* widget = app ? app->createWindowByTag(wide(element.name()), &parent) : nullptr;
    if (!widget) {
        context.error(element, QStringLiteral("unknown element <%1>").arg(QString::fromUtf8(element.name())));
        return nullptr;
    }
    applyAttributes(context, *widget, element);
    parent.addChildWidget(widget);
    createChildren(context, *widget, element);
    widget->onCreated();
    return widget;
}

void LayoutBuilder::createChildren(LayoutContext& context, SWindow& parent, const pugi::xml_node& element)
{
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const std::string_view tag = child.name();
        if (tag == "include") {
            includeLayout(context, parent, child);
        } else if (tag == "stretch") {
            addStretch(context, parent, child);
        } else if (!parent.handleChildElement(context, child)) {
            createWindow(context, parent, child);
        }
    }
}

bool LayoutBuilder::buildChildren(SWindow& parent, const pugi::xml_node& element, const QString& label)
{
    XmlSource detached;
    detached.parse(QByteArrayLiteral("<detached/>"), label);
    LayoutContext context(detached);
    createChildren(context, parent, element);
    for (const LayoutIssue& issue : context.issues()) {
        qWarning().noquote() << label << issue.message;
    }
    return !context.hasErrors();
}
