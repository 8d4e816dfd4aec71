#pragma once

// Menu commands of the "more" menu and the tray menu, as their resources number them.
inline constexpr unsigned kCommandExit = 6;
// The tray menu's mode items: the first mode, then the next two in order.
inline constexpr unsigned kCommandSelectModeFirst = 101;
inline constexpr int kTrayModeCount = 3;
