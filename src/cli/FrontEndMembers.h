#pragma once

#include "shape/Channels.h"

#include <chrono>

// The values mousectl holds, and nothing else: those of the settings page
// and the main window's connection state and version text. It writes them
// as the page's widgets do; the device logic does the rest.
struct FrontEndMembers {
    ButtonAssignmentShape buttonAssignment;
    StatusBytesShape statusBytes;
    ModeShape mode;
    LightEffectIndexShape effectIndex;
    DpiStageShape dpiStage;
    LightShape light;
    DpiShape dpi;
    DpiBrightnessShape dpiBrightness;
    FactoryRestoreShape factoryRestore;
    FuncKeyListShape funcKeys;
    CombKeyListShape combKeys;
    ConnectionStateShape connectionState;
    VersionTextShape versionText;
};

// Waits until the data model's worker has handled every notification, and
// with it every request the device logic was asked for; false after `limit`.
// The members may be read and written again once it returns true.
bool waitForDeviceLogic(std::chrono::milliseconds limit);
