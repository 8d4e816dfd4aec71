#pragma once

#include "hid/HidDevice.h"
#include "mouse/MacroEncoding.h"
#include "mouse/MouseReport.h"
#include "shape/Channels.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

// The device side of the application: owns the configured mouse's HidDevice
// and values on the same channels as the settings page. A value the page
// changes reaches a handler here (on the data model's worker), which turns it
// into requests; what is read from the mouse goes back out on the channels.
//
// onDeviceChange runs on the caller's (UI) thread; every handler runs on the
// notification worker, one at a time. Nothing here throws.
class MouseLogic {
public:
    MouseLogic();
    // Closes the device (a handler in the middle of a transfer returns at
    // once) and waits for a running handler; later deliveries do nothing.
    ~MouseLogic();
    MouseLogic(const MouseLogic&) = delete;
    MouseLogic& operator=(const MouseLogic&) = delete;

    // Start-up (empty path): opens the configured mouse by its ids and sets
    // the connection state, forced. Otherwise an arrival or removal notice for
    // `path`; notices for other devices are ignored.
    void onDeviceChange(bool arrived, const std::wstring& path);

private:
    // Lets the destructor wait for a running handler and turn later ones away.
    // Its lock is held only to count handlers, never while one runs: handlers
    // write other values (taking their locks) and are called under a value's
    // lock, so holding it throughout would order it both ways against them.
    class HandlerGate {
    public:
        // A handler's pass: false once the gate is closed; leaving ends the pass.
        class Pass {
        public:
            explicit Pass(HandlerGate* gate) : gate_(gate) {}
            Pass(const Pass&) = delete;
            Pass& operator=(const Pass&) = delete;
            ~Pass();
            explicit operator bool() const { return gate_ != nullptr; }

        private:
            HandlerGate* gate_;
        };

        Pass enter();
        // Turns later handlers away and waits until the running one has left.
        void close();

    private:
        void leave();

        std::mutex mutex_;
        std::condition_variable idle_;
        bool open_ = true;
        int running_ = 0;
    };

    // Handlers, called with (channel id, delivered elements, delivered length,
    // old length, delivered index, old index, param).
    void onModeChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onEffectIndexChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onDpiStageChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onLightChanged(int, const LightDat*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onDpiChanged(int, const DpiDat*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onFactoryReset(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onConnectionChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onButtonAssignment(int, const RecordGroup*, uint32_t, uint32_t, uint32_t, uint32_t, int);

    // Sets the connection state with self-notification (UI thread only).
    void publishConnectionState(int state, bool force);

    // Steps shared by several handlers.
    void readMacroTable();
    void readDpi();
    void readLight();
    void readStatus();
    void downloadMacro(const RecordGroup& group, MacroKeyMode keyMode);
    void assignButtonFunction(const RecordGroup& group, MacroKeyMode keyMode, bool unbindMacro);
    void resetLightingAndDpi();

    // One request; false when the write failed.
    bool send(const MouseReport& request);
    // One reply; false when nothing was read.
    bool receive(MouseReport& reply);
    // A request and its reply; false when either failed.
    bool query(const MouseReport& request, MouseReport& reply);

    // The selected mode's lighting, or null when the mode selection is not valid.
    LightEffectsShape* selectedModeEffects();

    HandlerGate gate_;  // first, so that it outlives every member a handler touches

    HidDevice device_;
    MacroTableShape macroTable_;
    ModeShape mode_;
    LightEffectIndexShape effectIndex_;
    DpiStageShape dpiStage_;
    LightShape light_;
    DpiShape dpi_;
    DpiBrightnessShape dpiBrightness_;  // shared with the page; never read or written here
    FactoryRestoreShape factoryRestore_;
    ConnectionStateShape connectionState_;
    DpiStagesShape dpiStages_;
    LightModesShape modes_;
    VersionTextShape versionText_;
    StatusBytesShape statusBytes_;
    UsbInfoShape usbInfo_;
    ButtonAssignmentShape buttonAssignment_;
};
