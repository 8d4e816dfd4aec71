#pragma once

class SApplication;

// Registers the application's own widget classes under their tags, in this
// order, none replacing a class already registered: "cbimg", "page2",
// "tabctrl2", "anmimg", "editex", "stimage", "radioex", "checkex".
void registerCustomWidgets(SApplication& app);
