#pragma once

#include <cstdint>
#include <string>

#include "shape/Records.h"
#include "shape/ShapeType.h"

// Channel ids of this system. A channel is (id, element type).
inline constexpr int kDeviceSettingsChannel = 10000;  // device settings, one channel per element type
inline constexpr int kModeChannel = 10001;             // current mode, 0 to 2
inline constexpr int kLightEffectIndexChannel = 10002; // current light-effect index, 0 to 9
inline constexpr int kDpiStageChannel = 10003;         // current DPI stage, 0 to 7
inline constexpr int kDpiBrightnessChannel = 10004;    // DPI brightness slider value
inline constexpr int kFactoryRestoreChannel = 10005;   // factory-restore request
inline constexpr int kConfigChannel = 20000;           // values loaded from the configuration file
inline constexpr int kPrivateChannel = -1;             // private instances, no channel

// The shared values.
using ConnectionStateShape = ShapeType<int, kDeviceSettingsChannel, 1, 1>;  // 1 open, 0 not
using ModeShape = ShapeType<int, kModeChannel, 1, 1>;
using LightEffectIndexShape = ShapeType<int, kLightEffectIndexChannel, 1, 1>;
using DpiStageShape = ShapeType<int, kDpiStageChannel, 1, 1>;
using DpiBrightnessShape = ShapeType<int, kDpiBrightnessChannel, 1, 1>;
using FactoryRestoreShape = ShapeType<int, kFactoryRestoreChannel, 1, 1>;
using LightShape = ShapeType<LightDat, kDeviceSettingsChannel, 1, LightDat::zeroFill>;
using DpiShape = ShapeType<DpiDat, kDeviceSettingsChannel, 1, DpiDat::zeroFill>;
using StatusBytesShape = ShapeType<unsigned char, kDeviceSettingsChannel, 6, 1>;
using MacroTableShape = ShapeType<macrokey_dat_t, kDeviceSettingsChannel, 24, macrokey_dat_t::zeroFill>;
using ButtonAssignmentShape = ShapeType<RecordGroup, kDeviceSettingsChannel, 1, RecordGroup::zeroFill>;
using VersionTextShape = ShapeType<std::wstring, kDeviceSettingsChannel, 1, 0>;

// The configuration values.
using UsbInfoShape = ShapeType<UsbInfo, kConfigChannel, 1, UsbInfo::zeroFill>;
using LanguageShape = ShapeType<std::wstring, kConfigChannel, 1, 0>;
using FuncKeyListShape = ShapeType<MacroFuncKey, kConfigChannel, 0, MacroFuncKey::zeroFill>;
using CombKeyListShape = ShapeType<MacroCombKey, kConfigChannel, 0, MacroCombKey::zeroFill>;

// Private values of the device logic.
using DpiStagesShape = ShapeType<DpiDat, kPrivateChannel, 8, DpiDat::zeroFill>;        // the eight DPI stages
using LightEffectsShape = ShapeType<LightDat, kPrivateChannel, 10, LightDat::zeroFill>; // ten effects of a mode
using LightModesShape = ShapeType<LightEffectsShape, kPrivateChannel, 3, 0>;          // three modes
