#pragma once

#include <cstdint>
#include <string>

// Window message numbers and their parameters, with the values of the desktop
// system the application's handlers were written for, so that handlers read
// the same on every platform.

inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_SYSCOMMAND = 0x0112;
inline constexpr unsigned WM_DEVICECHANGE = 0x0219;
inline constexpr unsigned WM_USER = 0x0400;

// Posted by a host window for every delivery of the data model; lParam holds
// the PostedDelivery, owned by whoever handles the message.
inline constexpr unsigned WM_SHAPE_DELIVERY = 0x1400;

// WM_SYSCOMMAND's wParam.
inline constexpr uintptr_t SC_MINIMIZE = 0xF020;
inline constexpr uintptr_t SC_MAXIMIZE = 0xF030;
inline constexpr uintptr_t SC_CLOSE = 0xF060;
inline constexpr uintptr_t SC_RESTORE = 0xF120;

// WM_DEVICECHANGE's wParam, and the device type of its header.
inline constexpr uintptr_t DBT_DEVICEARRIVAL = 0x8000;
inline constexpr uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;
inline constexpr uint32_t DBT_DEVTYP_DEVICEINTERFACE = 5;

// What WM_DEVICECHANGE's lParam points to.
struct DeviceBroadcast {
    uint32_t deviceType = DBT_DEVTYP_DEVICEINTERFACE;
    std::wstring name;  // the device interface path
};

// Show commands of SHostWnd::showWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// Dialog results and message-box button ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message-box button sets (low nibble) and icons.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// Menu tracking flag: return the chosen id instead of sending WM_COMMAND.
inline constexpr unsigned TPM_RETURNCMD = 0x0100;

constexpr uintptr_t makeWParam(unsigned low, unsigned high)
{
    return static_cast<uintptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned loWord(uintptr_t value) { return static_cast<unsigned>(value & 0xFFFFu); }
constexpr unsigned hiWord(uintptr_t value) { return static_cast<unsigned>((value >> 16) & 0xFFFFu); }

// Something that takes window messages: host windows, and any window-like
// object of the application (a tray icon's notification window).
class IMessageTarget {
public:
    // Handles the message at once, on the calling (UI) thread.
    virtual intptr_t sendMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;
    // Queues the message for the target's UI thread; callable from any thread.
    virtual bool postMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0) = 0;

protected:
    ~IMessageTarget() = default;
};
