#pragma once

#include <QPalette>

class UiDefinitions;

// The parts of the screen Qt draws by itself (tooltips, menus, combo box
// lists, file choosers, the message box frame) in the resource package's
// colours, so that they match the drawn widgets. The named colours read are
//   bg          window, text on selections panel       fields, buttons
//   panel_high  alternate rows, tooltips   line        frames and separators
//   text        every text                 muted       placeholders
//   disabled    disabled texts             accent      selection
// A name the package does not define leaves that part of `base` as it is.
QPalette themePalette(const UiDefinitions& definitions, const QPalette& base);
