#pragma once

#include "mouse/MouseReport.h"
#include "shape/Records.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr std::uint16_t kDefaultFirmwareVersion = 0x0105;

// What one button does in one mode.
struct ButtonAssignment {
    std::uint8_t functionCode = 0;  // 0: the button's own function
    std::uint8_t boundSlotPlusOne = 0; // 0: no macro

    bool operator==(const ButtonAssignment&) const = default;
};

struct ModeLighting {
    std::array<LightDat, kLightEffectCount> effects{};
    int selectedEffect = 0;

    bool operator==(const ModeLighting&) const = default;
};

// Everything the mouse keeps across commands (and across unplugging).
struct FirmwareState {
    std::array<ModeLighting, kModeCount> modes{};
    int currentMode = 0;
    std::array<DpiDat, kDpiStageCount> dpiStages{};
    int currentDpiStage = 0;
    std::array<macrokey_dat_t, kMacroSlotCount> macroSlots{};
    std::array<std::array<ButtonAssignment, kButtonCount>, kModeCount> buttons{};
    std::uint16_t version = kDefaultFirmwareVersion;

    bool operator==(const FirmwareState&) const = default;
};

// A factory-fresh mouse: default light effects with effect 0 selected in every
// mode, mode 0, DPI stage 0 (level 0, red) selected, empty macro slots, every
// button on its own function.
FirmwareState factoryFirmwareState(std::uint16_t version = kDefaultFirmwareVersion);

// Every selection (mode, DPI stage, each mode's effect) within its range.
bool isValidFirmwareState(const FirmwareState& state);

// Status byte i is non-zero when button i of the current mode has an assignment.
StatusBytes firmwareStatusBytes(const FirmwareState& state);

struct FirmwareResponse {
    std::vector<MouseReport> replies;
    bool restart = false; // drop off the bus and come back (factory reset)
};

// The mouse's firmware as a pure state machine: one report in, a state change
// and the replies out. Not thread-safe; its owner serialises access.
class MouseFirmware {
public:
    explicit MouseFirmware(std::uint16_t version = kDefaultFirmwareVersion);

    // Requests without the 0x07 frame byte and unknown commands are ignored.
    FirmwareResponse handleReport(const MouseReport& request);

    const FirmwareState& state() const { return state_; }
    // False, changing nothing, for a state that is not valid.
    bool setState(const FirmwareState& state);

private:
    FirmwareState state_;
};
