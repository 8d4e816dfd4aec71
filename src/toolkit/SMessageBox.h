#pragma once

#include <string>

#include "toolkit/WindowMessages.h"

class QWidget;

// The message box: a modal host dialog built from "LAYOUT:SYS_XML_MSGBOX"
// (the package's, else the toolkit's own) showing `text` and `caption` with
// the button set of `type` (MB_OK, MB_OKCANCEL, MB_YESNO, ... plus an MB_ICON*
// flag). Returns the id of the button pressed (IDOK 1, IDCANCEL 2, IDYES 6,
// ...). Closing the window counts as Cancel when the set has it, as OK for
// MB_OK, and is refused otherwise. Returns -1 when the layout cannot be built.
//
// The layout names its widgets "msgtitle" (caption), "msgicon" (skin
// "_sys.msgicon.info", ".question", ".warning" or ".error"), "msgtext",
// "btnSwitch" (the row of buttons) and "button1st", "button2nd", "button3rd".
int SMessageBox(QWidget* parent, const std::wstring& text, const std::wstring& caption, unsigned type);
