#pragma once

#include <filesystem>
#include <string>

// Fixture sysfs trees:
//  desktop: a mouse (pointer interface 0, vendor-defined 64-byte interface 1),
//           a keyboard (boot interface 0, interface 1 with two top-level
//           collections), an I2C touch pad (not on USB) and a gamepad whose
//           report descriptor cannot be read (node hidraw10);
//  uhid:    a virtual device with no USB interface above it whose HID_PHYS
//           ends in "/input1".
inline std::filesystem::path sysfsFixture(const std::string& name)
{
    return std::filesystem::path(MOUSECFG_FIXTURES_DIR) / "sysfs" / name;
}

inline constexpr const wchar_t* kMousePointerPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_00#/dev/hidraw0";
inline constexpr const wchar_t* kMouseVendorPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw1";
inline constexpr const wchar_t* kKeyboardBootPath = L"\\\\?\\hid#vid_3f41&pid_2106&mi_00#/dev/hidraw2";
inline constexpr const wchar_t* kKeyboardConsumerPath = L"\\\\?\\hid#vid_3f41&pid_2106&mi_01&col01#/dev/hidraw3";
inline constexpr const wchar_t* kKeyboardSystemPath = L"\\\\?\\hid#vid_3f41&pid_2106&mi_01&col02#/dev/hidraw3";
inline constexpr const wchar_t* kTouchpadPath = L"\\\\?\\hid#vid_7a1c&pid_0101#/dev/hidraw4";
inline constexpr const wchar_t* kGamepadPath = L"\\\\?\\hid#vid_5a5a&pid_0c01&mi_00#/dev/hidraw10";
inline constexpr const wchar_t* kUhidPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw0";
