#pragma once

#include <QString>

#include <memory>
#include <string_view>

#include "toolkit/WindowMessages.h"

class QMenu;
namespace pugi {
class xml_node;
}

// A pop-up menu from a menu resource. Two formats:
//
// classic (SMenu), root <menu>:
//   <menu trCtx="tray">
//     <item id="1" text="Show"/>
//     <sep/>
//     <menu text="More"> <item id="7" text="About"/> </menu>
//     <item id="6" text="Exit"/>
//   </menu>
//
// extended (SMenuEx), root <menuRoot> (or a <menuItem> whose children are the items):
//   <menuRoot trCtx="more" width="160">
//     <menuItem id="6" text="Exit" icon="main:state_cancel_png"/>
//     <menuItem text="More"> <menuItem id="7" text="About"/> </menuItem>
//   </menuRoot>
//
// Items take "id", "text" (translated with the root's "trCtx"), "disable",
// "check" and "icon" (an image resource). Unknown elements and attributes
// make the load fail.
class SMenuBase {
public:
    virtual ~SMenuBase();
    // Loads from a resource ("SMENU:name" and the like); false on failure (errorText()).
    bool loadMenu(std::wstring_view resourceName);
    bool loadMenu(const pugi::xml_node& root, const QString& where);
    bool isLoaded() const { return menu_ != nullptr; }
    const QString& errorText() const { return error_; }

    // Shows the menu with its top-left corner at the screen point (x, y) and
    // returns when it closes. The chosen item's id reaches `owner` as
    // WM_COMMAND (wParam: low word the id, high word 0, lParam 0), or, with
    // TPM_RETURNCMD, is only returned. Returns the chosen id, 0 for none.
    // Qt scales for the screen, so `scale` is accepted as given (100).
    int trackPopupMenu(unsigned flags, int x, int y, IMessageTarget* owner, int scale = 100);

    // The built menu, for the window system's code paths (a tray icon's context menu).
    QMenu* qmenu() const { return menu_.get(); }

protected:
    struct Format {
        const char* root;
        const char* alternateRoot;  // or null
        const char* item;
        const char* popup;          // element of a submenu
    };
    explicit SMenuBase(Format format);

private:
    bool build(QMenu& menu, const pugi::xml_node& parent, const QString& where, const QString& context);

    Format format_;
    std::unique_ptr<QMenu> menu_;
    QString error_;
};

class SMenu : public SMenuBase {
public:
    SMenu() : SMenuBase(Format{"menu", nullptr, "item", "menu"}) {}
};

class SMenuEx : public SMenuBase {
public:
    SMenuEx() : SMenuBase(Format{"menuRoot", "menuItem", "menuItem", "menuItem"}) {}
};
