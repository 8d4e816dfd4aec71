#pragma once

// For end-to-end tests that drive the program from outside with a pointer:
// when MOUSECFG_WIDGET_MAP names a file, every time a widget is shown,
// hidden, moved or resized the file is rewritten with one line per visible
// named widget of every top-level window, "name x y width height" in screen
// coordinates. Without the variable nothing is installed.
void installWidgetMapIfAsked();

inline constexpr const char* kWidgetMapEnvironmentVariable = "MOUSECFG_WIDGET_MAP";
