#include "cli/MouseCtl.h"

#include "cli/Assignment.h"
#include "cli/ButtonNames.h"
#include "cli/CommandLine.h"
#include "cli/FrontEndMembers.h"
#include "cli/InfoReport.h"
#include "cli/MacroFile.h"
#include "config/DeviceConfig.h"
#include "config/ProfileStore.h"
#include "hid/HidBackend.h"
#include "mouse/MouseLogic.h"
#include "sim/SimulatedHidBackend.h"

#include <cstdio>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Longest wait for the device logic: a mouse that answers nothing makes each
// of the connection read's six replies wait out its 3 s time-out.
constexpr auto kDeviceLogicLimit = 120s;

int fail(std::ostream& err, int status, const std::string& message)
{
    err << "mousectl: " << message << "\n";
    return status;
}

template <class Shape>
std::vector<typename Shape::Element> elementsOf(const Shape& shape)
{
    const auto* first = shape.data();
    return first != nullptr ? std::vector<typename Shape::Element>(first, first + shape.length())
                            : std::vector<typename Shape::Element>();
}

std::string describeConfiguredMouse(const UsbInfo& usb)
{
    char text[96];
    std::snprintf(text, sizeof text, "vendor %04x, product %04x, interface %d, collection %d", usb.vid, usb.pid,
                  usb.interface, usb.subdevice);
    return text;
}

// A simulated mouse with the configured identity, installed as the HID
// backend while it lives.
class SimulatedMouseSession {
public:
    explicit SimulatedMouseSession(const UsbInfo& usb)
    {
        SimulatedMouseIdentity identity;
        identity.vendorId = static_cast<uint16_t>(usb.vid);
        identity.productId = static_cast<uint16_t>(usb.pid);
        identity.interfaceNumber = usb.interface >= 0 ? usb.interface : 1;
        identity.collectionNumber = usb.subdevice > 0 ? usb.subdevice : -1;
        mouse_ = &backend_.addMouse(identity);
        setHidBackend(&backend_);
    }

    // A request the host has written may still wait in the mouse's queue
    // (a real device has it once the write returns). The mouse takes every
    // queued report before it sees a descriptor closed, so once the host's
    // descriptors are closed and the mouse has let go of them all, it has
    // taken everything.
    ~SimulatedMouseSession()
    {
        const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
        while (mouse_->openConnectionCount() != 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        setHidBackend(nullptr);
    }
    SimulatedMouseSession(const SimulatedMouseSession&) = delete;
    SimulatedMouseSession& operator=(const SimulatedMouseSession&) = delete;

private:
    static constexpr auto kDrainLimit = 5s;

    SimulatedHidBackend backend_;
    SimulatedMouse* mouse_ = nullptr;
};

void loadProfileStores(const std::filesystem::path& directory)
{
    for (auto [store, fileName] : {std::pair{&keyboardProfileStore(), kKeyboardProfileFileName},
                                   std::pair{&mouseProfileStore(), kMouseProfileFileName}}) {
        store->directory = directory;
        store->fileName = fileName;
        loadProfileStore(*store, fileName);
    }
}

// The page's writes for one request; the members are quiet when it is called.
void writeRequest(const CliRequest& request, const std::optional<AssignmentPlan>& plan, FrontEndMembers& members)
{
    switch (request.action) {
    case CliAction::SetMode:
        members.mode.setCurrentValue(request.value, 0, false, false);
        break;
    case CliAction::SetDpiStage:
        members.dpiStage.setCurrentValue(request.value, 0, false, false);
        break;
    case CliAction::SetDpiLevel:
        if (DpiDat* dpi = members.dpi.tryAt(-1)) {
            dpi->level = request.value;
            members.dpi.notifyOthers(0, false);
        }
        break;
    case CliAction::SetDpiColor:
        if (DpiDat* dpi = members.dpi.tryAt(-1)) {
            dpi->red = request.color.red;
            dpi->green = request.color.green;
            dpi->blue = request.color.blue;
            dpi->reserved = 0xFF;  // the page keeps the colour's opacity there
            members.dpi.notifyOthers(0, true);
        }
        break;
    case CliAction::SetEffect:
        // As the effect combo box: param 1, with the self bit.
        members.effectIndex.setCurrentValue(request.value, 1, true, false);
        break;
    case CliAction::SetLight:
        if (LightDat* light = members.light.tryAt(-1)) {
            request.light.applyTo(*light);
            members.light.notifyOthers(0, request.light.changesColor());
        }
        break;
    case CliAction::Assign:
        if (plan) {
            members.buttonAssignment.setCurrentValue(plan->record, plan->param, false, true);
        }
        break;
    case CliAction::FactoryReset:
        if (int* restore = members.factoryRestore.tryAt(-1)) {
            *restore = 1;
            members.factoryRestore.notifyOthers(0, true);
        }
        break;
    case CliAction::Help:
    case CliAction::Info:
        break;
    }
}

// Connects, carries out the request through the channels and waits for the
// device logic to finish what it caused.
int runConnected(const CliRequest& request, const std::optional<AssignmentPlan>& plan, const UsbInfo& configured,
                 std::ostream& out, std::ostream& err)
{
    FrontEndMembers members;
    MouseLogic logic;
    logic.onDeviceChange(false, L"");
    if (!waitForDeviceLogic(kDeviceLogicLimit)) {
        return fail(err, kExitUnavailable, "the mouse did not finish answering in time");
    }
    if (members.connectionState.current() != 1) {
        return fail(err, kExitUnavailable,
                    "mouse not found (" + describeConfiguredMouse(configured) +
                        "): is it plugged in, and may this user open its hidraw node?");
    }
    if (plan) {
        recordAssignment(mouseProfileStore(), *plan);
    }
    writeRequest(request, plan, members);
    if (!waitForDeviceLogic(kDeviceLogicLimit)) {
        return fail(err, kExitUnavailable, "the mouse did not finish answering in time");
    }
    if (request.action == CliAction::Info) {
        const MouseInfo info = readMouseInfo(members);
        out << (request.json ? formatInfoJson(info) : formatInfoText(info));
    }
    // The page saves after every assignment. After a factory reset the store
    // was reset in memory; saving it keeps a later run from bringing back the
    // assignments the mouse no longer has.
    if ((request.action == CliAction::Assign || request.action == CliAction::FactoryReset) &&
        !saveProfileStore(mouseProfileStore())) {
        return fail(err, kExitUnavailable,
                    "could not write " + (mouseProfileStore().directory / kMouseProfileFileName).string());
    }
    return kExitDone;
}

}  // namespace

int runMouseCtl(const std::vector<std::string>& arguments, const std::filesystem::path& defaultDirectory,
                std::ostream& out, std::ostream& err)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.request) {
        return fail(err, kExitBadArguments, parsed.error + " (mousectl help lists the commands)");
    }
    const CliRequest& request = *parsed.request;
    if (request.action == CliAction::Help) {
        out << usageText();
        return kExitDone;
    }
    const std::filesystem::path directory = request.directory.value_or(defaultDirectory);
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error)) {
        return fail(err, kExitBadArguments, "no directory " + directory.string());
    }

    DeviceConfig config;
    loadDeviceConfig(config, directory);
    const UsbInfo configured = config.usbInfo.current();

    std::optional<AssignmentPlan> plan;
    if (request.action == CliAction::Assign) {
        MacroFile macro;
        if (request.assignment.kind == AssignmentKind::Macro) {
            MacroFileResult read = readMacroFile(request.assignment.argument);
            if (!read.ok) {
                return fail(err, kExitBadArguments, read.error);
            }
            macro = std::move(read.macro);
        }
        const AssignmentPlanResult planned = planAssignment(request.assignment, loadButtonNames(directory),
                                                            elementsOf(config.funcKeys), elementsOf(config.combKeys),
                                                            macro);
        if (!planned.plan) {
            return fail(err, kExitBadArguments, planned.error);
        }
        plan = planned.plan;
    }
    loadProfileStores(directory);

    std::optional<SimulatedMouseSession> simulated;
    if (request.simulate) {
        simulated.emplace(configured);
    }
    return runConnected(request, plan, configured, out, err);
}
