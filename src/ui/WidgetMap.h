#pragma once

// For end-to-end tests that drive the program from outside with a pointer:
// when MOUSECFG_WIDGET_MAP names a file, every time a widget is shown,
// hidden, moved, resized or painted the file is rewritten with one line per visible
// named widget of every top-level window, "name x y width height text" in
// screen coordinates; the text is what the widget shows (a list's chosen
// item, a slider's value), on one line. Without the variable nothing is installed.
void installWidgetMapIfAsked();

inline constexpr const char* kWidgetMapEnvironmentVariable = "MOUSECFG_WIDGET_MAP";
