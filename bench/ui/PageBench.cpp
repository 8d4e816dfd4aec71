// The settings page wired to the device logic and the simulated mouse, as
// the main window wires them: (a) from a slider move (the toolkit event) to
// its report arriving at the mouse, (b) from the mouse's connection to the
// page showing every value read, beside the time the connect read itself
// took on the wire.

#include "PageHost.h"
#include "UserEvents.h"

#include "config/DeviceConfig.h"
#include "config/ProfileStore.h"
#include "mouse/MouseLogic.h"
#include "shape/ShapeRegistry.h"
#include "sim/MouseFirmware.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/WireLog.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/StandardWidgets.h"
#include "ui/MouseUi.h"
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchStats.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr SimulatedMouseIdentity kIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
constexpr UsbInfo kConfigured{0x1A2B, 0x3C4D, 1, -1};
constexpr auto kReplyLatency = 1ms;
constexpr std::uint8_t kSetLightCommand = 0xFC;

// Runs the UI thread's events until `done` holds; false at the time limit.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(50us);
    }
    return true;
}

// When the first host-to-device report with `command` reached the mouse, by
// the wire log's clock.
std::optional<double> arrivalOf(SimulatedMouse& mouse, std::uint8_t command)
{
    for (const WireRecord& record : mouse.wireLog().records()) {
        if (record.direction == WireDirection::HostToDevice && record.bytes[1] == command) {
            return record.milliseconds;
        }
    }
    return std::nullopt;
}

// The page in its window, the device logic and the simulated mouse.
class Rig {
public:
    Rig()
    {
        app_ = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        registerCustomWidgets(*app_);
        app_->registerNamedIds(appNamedIdTable());
        for (const char* directory : {MOUSECFG_SOURCE_DIR "/uires", MOUSECFG_FIXTURES_DIR "/page"}) {
            auto provider = std::make_shared<FileResourceProvider>();
            ok_ = ok_ && provider->init(QString::fromUtf8(directory));
            app_->addResourceProvider(provider);
        }
        ok_ = ok_ && app_->loadUiDefinitions(L"UIDEF:XML_INIT");
        app_->loadSystemResources();
        CoordButtonImage::setApplicationDirectory(MOUSECFG_SOURCE_DIR);

        ProfileStore& store = mouseProfileStore();
        store.groups.clear();
        store.directory = profileDir_.path().toStdString();

        setHidBackend(&backend_);
        mouse_ = &backend_.addMouse(kIdentity);
        mouse_->setReplyLatency(kReplyLatency);
        config_.usbInfo.current() = kConfigured;
        logic_.emplace();

        host_ = std::make_unique<PageHost>();
        ok_ = ok_ && host_->createWindow();
        if (ok_) {
            host_->page.initPage(host_->root(), host_.get());
            host_->show();
        }
    }
    ~Rig()
    {
        settle();
        host_.reset();
        logic_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setHidBackend(nullptr);
        app_.reset();
    }

    bool ok() const { return ok_; }
    SimulatedMouse& mouse() { return *mouse_; }
    MouseLogic& logic() { return *logic_; }
    std::wstring path() const { return backend_.pathOf(*mouse_); }

    // Lets the device logic and the page's deliveries finish: no worker for
    // a while, with the UI thread's events run meanwhile.
    static bool settle()
    {
        auto quietSince = std::chrono::steady_clock::now();
        return runUntil([&quietSince] {
            if (ShapeRegistry::workerRunning()) {
                quietSince = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - quietSince > 20ms;
        });
    }

    SWindow* widget(const wchar_t* name) const { return host_->findChildByName(name); }

    // The user moved a slider to `position`, as the toolkit reports it.
    void slide(const wchar_t* name, int position) { fireSlide(*widget(name), position); }

    // What the page shows of the values a connection reads.
    std::vector<std::wstring> shownValues() const
    {
        std::vector<std::wstring> shown;
        for (const wchar_t* combo : {L"cmb_profile", L"cmb_light_mode_normal", L"cmb_mouse_dpi_index"}) {
            const auto* box = host_->findChildByName<SComboBox>(combo);
            shown.push_back(std::to_wstring(box ? box->getCurSel() : -2));
        }
        for (const wchar_t* slider : {L"bar_mouse_speed", L"bar_mouse_brightness", L"bar_mouse_dpi_grade"}) {
            const auto* bar = host_->findChildByName<SSliderBar>(slider);
            shown.push_back(std::to_wstring(bar ? bar->getValue() : -2));
        }
        const SWindow* dpiText = widget(L"text_mouse_dpi_grade");
        shown.push_back(dpiText ? dpiText->windowText() : L"<none>");
        return shown;
    }

private:
    bool ok_ = true;
    QTemporaryDir profileDir_;
    std::unique_ptr<SApplication> app_;
    SimulatedHidBackend backend_;
    SimulatedMouse* mouse_ = nullptr;
    DeviceConfig config_;
    std::optional<MouseLogic> logic_;
    std::unique_ptr<PageHost> host_;
};

// (a) A speed slider move until the SetLight report is at the mouse.
void BM_SliderToReport(benchmark::State& state)
{
    Rig rig;
    rig.logic().onDeviceChange(false, L"");
    if (!rig.ok() || !rig.settle()) {
        state.SkipWithError("the page did not connect");
        return;
    }
    std::vector<double> latencies;
    int position = 0;
    for (auto _ : state) {
        rig.mouse().wireLog().clear();
        position = (position + 1) % 4;
        const double start = wireClockMilliseconds();
        rig.slide(L"bar_mouse_speed", position);
        std::optional<double> arrival;
        runUntil([&] { return (arrival = arrivalOf(rig.mouse(), kSetLightCommand)).has_value(); }, 3s);
        if (!arrival) {
            state.SkipWithError("no SetLight arrived");
            break;
        }
        latencies.push_back(*arrival - start);
        state.SetIterationTime((*arrival - start) / 1000.0);
        rig.settle();
    }
    state.counters["median_ms"] = median(latencies);
}
BENCHMARK(BM_SliderToReport)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(100);

// Two firmware states that differ in every value the page shows.
FirmwareState firmwareVariant(int variant)
{
    FirmwareState firmware = factoryFirmwareState();
    firmware.currentMode = variant == 0 ? 0 : 2;
    firmware.currentDpiStage = variant == 0 ? 1 : 5;
    firmware.dpiStages[firmware.currentDpiStage].level = variant == 0 ? 3 : 9;
    ModeLighting& mode = firmware.modes[firmware.currentMode];
    mode.selectedEffect = variant == 0 ? 1 : 4;
    mode.effects[mode.selectedEffect].speed = variant == 0 ? 1 : 3;
    mode.effects[mode.selectedEffect].brightness = variant == 0 ? 1 : 4;
    return firmware;
}

// (b) Each iteration unplugs, swaps the mouse's state, and plugs it in again;
// the page is ready when it shows what a settled connection to that state
// shows (learnt once per state before the timing).
void BM_ConnectionToPageShown(benchmark::State& state)
{
    Rig rig;
    const std::wstring path = rig.path();
    std::vector<std::wstring> expected[2];
    for (int variant = 0; variant < 2; ++variant) {
        rig.logic().onDeviceChange(false, path);
        rig.settle();
        rig.mouse().setFirmwareState(firmwareVariant(variant));
        rig.logic().onDeviceChange(true, path);
        if (!rig.ok() || !rig.settle()) {
            state.SkipWithError("the page did not connect");
            return;
        }
        expected[variant] = rig.shownValues();
    }
    if (expected[0] == expected[1]) {
        state.SkipWithError("the two mouse states look the same on the page");
        return;
    }
    std::vector<double> pageTimes;
    std::vector<double> wireTimes;
    int variant = 1;
    for (auto _ : state) {
        variant = 1 - variant;
        rig.logic().onDeviceChange(false, path);
        rig.settle();
        rig.mouse().setFirmwareState(firmwareVariant(variant));
        rig.mouse().wireLog().clear();

        const double start = wireClockMilliseconds();
        rig.logic().onDeviceChange(true, path);
        if (!runUntil([&] { return rig.shownValues() == expected[variant]; })) {
            state.SkipWithError("the page never showed the mouse's values");
            break;
        }
        const double shown = wireClockMilliseconds();
        rig.settle();
        const std::vector<WireRecord> wire = rig.mouse().wireLog().records();
        const double wireEnd = wire.empty() ? start : wire.back().milliseconds;
        pageTimes.push_back(shown - start);
        wireTimes.push_back(wireEnd - start);
        state.SetIterationTime((shown - start) / 1000.0);
    }
    state.counters["page_shown_ms_median"] = median(pageTimes);
    state.counters["connect_read_ms_median"] = median(wireTimes);
}
BENCHMARK(BM_ConnectionToPageShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
