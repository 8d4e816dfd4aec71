#include "mouse/MouseLogic.h"

#include "config/ProfileStore.h"
#include "hid/HidPathParser.h"
#include "shape/ShapeException.h"

#include <chrono>
#include <cwchar>
#include <iterator>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Fixed pauses between requests, slept on the worker.
constexpr auto kPauseAfterModeSwitch = 50ms;
constexpr auto kPauseAfterDpiStageSwitch = 20ms;
constexpr auto kPauseAfterButtonRequest = 20ms;
constexpr auto kPauseAfterFirstMacroHalf = 100ms;

constexpr int kMacroHalfCount = 2 * kMacroSlotCount;

// What a button assignment's param asks for.
enum AssignmentKind : int {
    kRestoreDefault = 0,
    kMacro = 1,
    kSingleKey = 2,
    kFunctionKey = 3,
    kCombinationKey = 4,
};

// The delivered current element, or none when the delivery has no element there.
template <class T>
std::optional<T> deliveredValue(const T* data, uint32_t length, uint32_t index)
{
    if (data == nullptr || index >= length) {
        return std::nullopt;
    }
    return data[index];
}

bool isIndexBelow(int value, uint32_t count)
{
    return value >= 0 && static_cast<uint32_t>(value) < count;
}

// Moves the cursor of a private table when index is one of its elements.
void selectIfValid(ShapeBase& table, int index)
{
    if (isIndexBelow(index, table.length())) {
        table.selection().setIndex(static_cast<uint32_t>(index));
    }
}

// Stores value into the current element and notifies the other members.
template <class Shape, class Value>
void storeAndNotifyOthers(Shape& shape, const Value& value, bool force)
{
    if (auto* element = shape.tryAt(-1)) {
        *element = value;
        shape.notifyOthers(0, force);
    }
}

// Sets the current element with self-notification (not forced).
template <class Shape, class Value>
void setWithSelfNotification(Shape& shape, const Value& value)
{
    if (shape.tryAt(-1) != nullptr) {
        shape.setCurrentValue(value, 0, true, false);
    }
}

// The enumeration's filter rules, applied to the ids parsed from a notice's
// path, so that the wildcards of the configuration (product 0, interface or
// collection -1) accept arrivals as they accept the device at start-up.
bool isConfiguredDevice(const UsbInfo& configured, int32_t vendorId, int32_t productId, int32_t interfaceNumber,
                        int32_t collectionNumber)
{
    const auto numberMatches = [](int32_t wanted, int32_t actual) {
        return wanted >= 0 ? actual == wanted : wanted == -1;
    };
    if (configured.pid == 0 && configured.vid <= 0) {
        return false;
    }
    return (configured.pid == 0 || productId == configured.pid) && (configured.vid <= 0 || vendorId == configured.vid) &&
           numberMatches(configured.interface, interfaceNumber) &&
           numberMatches(configured.subdevice, collectionNumber);
}

std::wstring formatVersionText(uint16_t version)
{
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"version: v%04x", static_cast<unsigned>(version));
    return text;
}

}  // namespace

MouseLogic::HandlerGate::Pass MouseLogic::HandlerGate::enter()
{
    std::lock_guard lock(mutex_);
    if (!open_) {
        return Pass(nullptr);
    }
    ++running_;
    return Pass(this);
}

void MouseLogic::HandlerGate::leave()
{
    std::lock_guard lock(mutex_);
    --running_;
    idle_.notify_all();
}

void MouseLogic::HandlerGate::close()
{
    std::unique_lock lock(mutex_);
    open_ = false;
    idle_.wait(lock, [this] { return running_ == 0; });
}

MouseLogic::HandlerGate::Pass::~Pass()
{
    if (gate_ != nullptr) {
        gate_->leave();
    }
}

MouseLogic::MouseLogic()
{
    mode_.bind(this, &MouseLogic::onModeChanged, false);
    effectIndex_.bind(this, &MouseLogic::onEffectIndexChanged, false);
    dpiStage_.bind(this, &MouseLogic::onDpiStageChanged, false);
    light_.bind(this, &MouseLogic::onLightChanged, false);
    dpi_.bind(this, &MouseLogic::onDpiChanged, false);
    factoryRestore_.bind(this, &MouseLogic::onFactoryReset, false);
    connectionState_.bind(this, &MouseLogic::onConnectionChanged, false);
    buttonAssignment_.bind(this, &MouseLogic::onButtonAssignment, false);
}

MouseLogic::~MouseLogic()
{
    device_.close();
    gate_.close();
}

void MouseLogic::onDeviceChange(bool arrived, const std::wstring& path)
{
    const UsbInfo* configured = usbInfo_.tryAt(-1);
    if (configured == nullptr) {
        return;
    }
    if (path.empty()) {
        const int32_t productIds[] = {configured->pid};
        const int32_t productCount = configured->pid != 0 ? 1 : 0;
        const int opened = device_.openDeviceByIds(configured->vid, productCount, productIds, configured->interface,
                                                   configured->subdevice, nullptr,
                                                   HidDevice::kApplicationAccessFlags);
        publishConnectionState(opened != 0 ? 1 : 0, true);
        return;
    }
    int32_t vendorId = -1;
    int32_t productId = -1;
    int32_t interfaceNumber = -1;
    int32_t collectionNumber = -1;
    if (!parseHidDevicePath(path.c_str(), vendorId, productId, interfaceNumber, collectionNumber) ||
        !isConfiguredDevice(*configured, vendorId, productId, interfaceNumber, collectionNumber)) {
        return;
    }
    if (arrived) {
        const int opened = device_.openDeviceById(vendorId, productId, interfaceNumber, collectionNumber);
        publishConnectionState(opened != 0 ? 1 : 0, false);
    } else {
        device_.close();
        publishConnectionState(0, false);
    }
}

void MouseLogic::publishConnectionState(int state, bool force)
{
    // Only this thread writes the connection state, and a self-notification
    // copies nothing into it, so it can be read here without the instance
    // lock. Skipping an unchanged value keeps this thread from waiting for the
    // lock, which the worker holds while onConnectionChanged runs.
    const int* current = connectionState_.tryAt(-1);
    if (current == nullptr || (!force && *current == state)) {
        return;
    }
    connectionState_.setCurrentValue(state, 0, true, force);
}

void MouseLogic::onConnectionChanged(int, const int* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    if (deliveredValue(data, length, index) != 1) {
        return;
    }
    MouseReport reply{};
    if (query(makeGetVersionRequest(), reply)) {
        setWithSelfNotification(versionText_, formatVersionText(decodeVersionReply(reply)));
    }
    if (query(makeGetModeRequest(), reply)) {
        selectIfValid(modes_, decodeModeReply(reply));
        if (LightEffectsShape* effects = selectedModeEffects()) {
            setWithSelfNotification(mode_, static_cast<int>(modes_.index()));
            storeAndNotifyOthers(effectIndex_, static_cast<int>(effects->index()), false);
            if (const LightDat* effect = effects->tryAt(-1)) {
                storeAndNotifyOthers(light_, *effect, false);
            }
        }
    }
    readMacroTable();
    readDpi();
    readLight();
}

void MouseLogic::readMacroTable()
{
    // Without the request no reply will come: skip the 48 reads.
    if (!send(makeReadMacroTableRequest())) {
        return;
    }
    for (int replyIndex = 0; replyIndex < kMacroTableReplyCount; ++replyIndex) {
        MouseReport reply{};
        macrokey_dat_t* slot = macroTable_.tryAt(macroSlotOfHalf(replyIndex));
        if (slot == nullptr || !receive(reply)) {
            return;
        }
        applyMacroTableReply(replyIndex, reply, *slot);
    }
}

void MouseLogic::readDpi()
{
    MouseReport reply{};
    if (!query(makeGetDpiRequest(), reply)) {
        return;
    }
    const DpiReply decoded = decodeDpiReply(reply);
    selectIfValid(dpiStages_, decoded.stage);
    DpiDat* stage = dpiStages_.tryAt(-1);
    if (stage == nullptr) {
        return;
    }
    decoded.applyTo(*stage);
    storeAndNotifyOthers(dpiStage_, static_cast<int>(dpiStages_.index()), false);
    storeAndNotifyOthers(dpi_, *stage, false);
}

void MouseLogic::readLight()
{
    MouseReport reply{};
    if (query(makeGetLightRequest(), reply)) {
        if (LightEffectsShape* effects = selectedModeEffects()) {
            const LightReply decoded = decodeLightReply(reply);
            selectIfValid(*effects, decoded.effectIndex);
            if (LightDat* effect = effects->tryAt(-1)) {
                *effect = decoded.effect;
                storeAndNotifyOthers(effectIndex_, static_cast<int>(effects->index()), false);
                storeAndNotifyOthers(light_, *effect, false);
            }
        }
    }
    readStatus();
}

void MouseLogic::readStatus()
{
    MouseReport reply{};
    if (!query(makeGetStatusRequest(), reply)) {
        return;
    }
    const StatusBytes status = decodeStatusReply(reply);
    statusBytes_.setArray(status.data(), static_cast<uint32_t>(status.size()), 0, true, false);
}

void MouseLogic::onModeChanged(int, const int* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const std::optional<int> mode = deliveredValue(data, length, index);
    // A mode the mouse does not have is never sent to it.
    if (!mode || !isIndexBelow(*mode, modes_.length())) {
        return;
    }
    modes_.selection().setIndex(static_cast<uint32_t>(*mode));
    LightEffectsShape* effects = selectedModeEffects();
    if (effects == nullptr) {
        return;
    }
    storeAndNotifyOthers(effectIndex_, static_cast<int>(effects->index()), false);
    if (const LightDat* effect = effects->tryAt(-1)) {
        storeAndNotifyOthers(light_, *effect, true);
    }
    if (!send(makeSetModeRequest(*mode))) {
        return;
    }
    std::this_thread::sleep_for(kPauseAfterModeSwitch);
    readLight();
}

void MouseLogic::onEffectIndexChanged(int, const int* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const std::optional<int> effectIndex = deliveredValue(data, length, index);
    LightEffectsShape* effects = selectedModeEffects();
    // An effect the mode does not have is never sent to the mouse.
    if (!effectIndex || effects == nullptr || !isIndexBelow(*effectIndex, effects->length())) {
        return;
    }
    if (const LightDat* previous = effects->tryAt(-1)) {
        // A lost request leaves the mouse on the previous effect: keep it selected here too.
        if (!send(makeSetLightRequest(*effectIndex, *previous))) {
            return;
        }
    }
    effects->selection().setIndex(static_cast<uint32_t>(*effectIndex));
    MouseReport reply{};
    LightDat* effect = effects->tryAt(-1);
    if (effect == nullptr || !query(makeGetLightRequest(), reply)) {
        return;
    }
    *effect = decodeLightReply(reply).effect;
    storeAndNotifyOthers(light_, *effect, false);
}

void MouseLogic::onDpiStageChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const int* stage = dpiStage_.tryAt(-1);
    // A stage the mouse does not have is never sent: its nibble would name another one.
    if (stage == nullptr || !isIndexBelow(*stage, dpiStages_.length())) {
        return;
    }
    if (const DpiDat* previous = dpiStages_.tryAt(-1)) {
        if (!send(makeSetDpiRequest(*stage, *previous))) {
            return;
        }
    }
    std::this_thread::sleep_for(kPauseAfterDpiStageSwitch);
    readDpi();
}

void MouseLogic::onDpiChanged(int, const DpiDat* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const std::optional<DpiDat> dpi = deliveredValue(data, length, index);
    const int* stage = dpiStage_.tryAt(-1);
    if (!dpi || stage == nullptr || !isIndexBelow(*stage, dpiStages_.length())) {
        return;
    }
    // Nothing is read back: a lost request just leaves the mouse as it was.
    send(makeSetDpiRequest(*stage, *dpi));
}

void MouseLogic::onLightChanged(int, const LightDat* data, uint32_t length, uint32_t, uint32_t index, uint32_t,
                                int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const std::optional<LightDat> light = deliveredValue(data, length, index);
    LightEffectsShape* effects = selectedModeEffects();
    if (!light || effects == nullptr) {
        return;
    }
    const int selected = static_cast<int>(effects->index());
    setWithSelfNotification(effectIndex_, selected);
    if (LightDat* effect = effects->tryAt(-1)) {
        *effect = *light;
        // Nothing is read back: a lost request just leaves the mouse as it was.
        send(makeSetLightRequest(selected, *light));
    }
}

void MouseLogic::onFactoryReset(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    // A mouse that did not get the request keeps its settings, so the host keeps its own.
    if (!send(makeFactoryResetRequest())) {
        return;
    }
    try {
        resetLightingAndDpi();
    } catch (const ShapeException&) {
        // A table shorter than expected: what could be reset has been.
    }
    resetProfileStore(mouseProfileStore());
}

void MouseLogic::resetLightingAndDpi()
{
    const LightDat defaultEffect{};
    for (uint32_t mode = 0; mode < modes_.length(); ++mode) {
        LightEffectsShape& effects = modes_.at(static_cast<int32_t>(mode));
        effects.assign(&defaultEffect, effects.length(), 1);
        effects.selection().setIndex(0);
    }
    modes_.selection().setIndex(0);
    dpi_.current() = DpiDat{0, 0xFF, 0x00, 0x00, 0};
    dpi_.selection().setIndex(0);

    dpiStage_.current() = 0;
    dpiStage_.notifyOthers(0, false);
    mode_.current() = 0;
    mode_.notifyOthers(0, false);
    effectIndex_.setCurrentValue(static_cast<int>(modes_.at(0).index()), 0, true, false);
    dpi_.notifyOthers(0, false);
    light_.current() = defaultEffect;
    light_.notifyOthers(0, false);
}

void MouseLogic::onButtonAssignment(int, const RecordGroup* data, uint32_t length, uint32_t, uint32_t index,
                                    uint32_t, int param)
{
    const auto entered = gate_.enter();
    if (!entered) {
        return;
    }
    const std::optional<RecordGroup> group = deliveredValue(data, length, index);
    // Another button number would name a slot or a function of another button.
    if (!group || !isIndexBelow(group->code, kButtonCount)) {
        return;
    }
    switch (param) {
    case kRestoreDefault:
        assignButtonFunction(*group, MacroKeyMode::TranslateToUsage, true);
        break;
    case kMacro:
        downloadMacro(*group, MacroKeyMode::TranslateToUsage);
        break;
    case kSingleKey:
        assignButtonFunction(*group, MacroKeyMode::TranslateToUsage, false);
        break;
    case kFunctionKey:
        assignButtonFunction(*group, MacroKeyMode::Untranslated, false);
        break;
    case kCombinationKey:
        downloadMacro(*group, MacroKeyMode::Untranslated);
        break;
    default:
        break;
    }
}

void MouseLogic::assignButtonFunction(const RecordGroup& group, MacroKeyMode keyMode, bool unbindMacro)
{
    if (!send(makeSetButtonFunctionRequest(group.code, buttonFunctionCode(group, keyMode)))) {
        return;
    }
    std::this_thread::sleep_for(kPauseAfterButtonRequest);
    if (unbindMacro) {
        if (!send(makeBindMacroRequest(group.code, kNoMacroSlot))) {
            return;
        }
        std::this_thread::sleep_for(kPauseAfterButtonRequest);
    }
    readStatus();
}

void MouseLogic::downloadMacro(const RecordGroup& group, MacroKeyMode keyMode)
{
    const int* mode = mode_.tryAt(-1);
    if (mode == nullptr || !isIndexBelow(*mode, modes_.length())) {
        return;
    }
    const int slot = group.code + kButtonCount * *mode;
    macrokey_dat_t* image = macroTable_.tryAt(slot);
    if (slot >= kMacroSlotCount || image == nullptr) {
        return;
    }
    *image = encodeMacro(group, keyMode);
    // Every slot goes out, in order; a lost half would leave the bound slot
    // partly written, so the download stops there without binding it.
    for (int half = 0; half < kMacroHalfCount; ++half) {
        const macrokey_dat_t* source = macroTable_.tryAt(macroSlotOfHalf(half));
        if (source == nullptr || !send(makeWriteMacroHalfRequest(half, *source))) {
            return;
        }
        if (half == 0) {
            std::this_thread::sleep_for(kPauseAfterFirstMacroHalf);
        }
    }
    std::this_thread::sleep_for(kPauseAfterButtonRequest);
    if (!send(makeBindMacroRequest(group.code, slot))) {
        return;
    }
    std::this_thread::sleep_for(kPauseAfterButtonRequest);
    readStatus();
}

bool MouseLogic::send(const MouseReport& request)
{
    return device_.writeReport(request) != 0;
}

bool MouseLogic::receive(MouseReport& reply)
{
    return device_.readReport(reply) != 0;
}

bool MouseLogic::query(const MouseReport& request, MouseReport& reply)
{
    return send(request) && receive(reply);
}

LightEffectsShape* MouseLogic::selectedModeEffects()
{
    return modes_.tryAt(-1);
}
