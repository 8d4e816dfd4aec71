#pragma once

class SApplication;

// Registers the toolkit's widgets under their tags: window, text, button,
// imgbtn, check, radio, edit, combobox, sliderbar, tabctrl, page, listview,
// mclistview. Pass it to SApplication's constructor.
void registerStandardWidgets(SApplication& app);
