#pragma once

#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/XmlSource.h"

class SWindow;

// One problem found while building a layout.
struct LayoutIssue {
    bool error = true;  // false: a warning; the layout still loads
    QString where;      // "file:line"
    QString message;
    QString text() const { return where + QStringLiteral(": ") + message; }
};

// State of one layout build: the files being read (the layout and its
// includes) and the problems found.
class LayoutContext {
public:
    explicit LayoutContext(const XmlSource& source);
    ~LayoutContext();

    const XmlSource& source() const { return *sources_.back(); }
    void error(const pugi::xml_node& node, const QString& message);
    void warning(const pugi::xml_node& node, const QString& message);
    const std::vector<LayoutIssue>& issues() const { return issues_; }
    bool hasErrors() const;
    QString errorText() const;

    // Include handling: false (with an error) when `resourceName` is already
    // being read, which would never end.
    bool enterInclude(const pugi::xml_node& at, const std::wstring& resourceName, std::unique_ptr<XmlSource> source);
    void leaveInclude();

private:
    std::vector<const XmlSource*> sources_;
    std::vector<std::unique_ptr<XmlSource>> included_;
    std::vector<std::wstring> includeNames_;
    std::vector<LayoutIssue> issues_;
};

// Builds widgets from layout XML.
//
// Elements: every registered widget tag; <include src="LAYOUT:name"/> puts
// the children of another layout (root <layout>) in its place; <stretch
// weight="1"/> adds stretch in a box layout. An unknown element or attribute
// and an unacceptable value are errors reported with file and line.
namespace LayoutBuilder {

// Creates the children of `element` inside `parent`.
void createChildren(LayoutContext& context, SWindow& parent, const pugi::xml_node& element);
// Creates one widget element (attributes, children, onCreated) inside `parent`;
// null when the tag is unknown.
SWindow* createWindow(LayoutContext& context, SWindow& parent, const pugi::xml_node& element);
// Applies the attributes of `element` to `widget`, except those in `skip`.
void applyAttributes(LayoutContext& context, SWindow& widget, const pugi::xml_node& element,
                     std::initializer_list<std::string_view> skip = {});
// Builds the children of a detached XML element (a row template): problems
// are printed as warnings; false when there were errors.
bool buildChildren(SWindow& parent, const pugi::xml_node& element, const QString& label);

}  // namespace LayoutBuilder
