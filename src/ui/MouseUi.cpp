#include "ui/MouseUi.h"

#include "config/ProfileFile.h"
#include "shape/ShapeHook.h"
#include "toolkit/Events.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SMessageBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/SWindow.h"
#include "toolkit/WindowMessages.h"
#include "ui/ButtonAssignment.h"
#include "ui/ButtonTooltip.h"
#include "ui/MacroRecordDlg.h"
#include "ui/MouseUiTables.h"
#include "ui/WidgetMap.h"
#include "ui/widgets/CoordButtonImage.h"

#include <QString>
#include <QTimer>

#include <initializer_list>
#include <utility>

namespace {

// Widget ids of the page's buttons and combo boxes.
constexpr int kColourRadioFirst = 65647;  // "radio_mouse_color0"
constexpr int kColourRadioLast = 65654;   // "radio_mouse_color7"
constexpr int kShownColourRadios = 7;     // list A: "radio_mouse_color0" to 6
constexpr int kDirectionLeft = 65637;     // "radio_direction_left"
constexpr int kDirectionRight = 65638;    // "radio_direction_right"
constexpr int kDirectionSplit = 65640;    // "radio_direction_fen"
constexpr int kDirectionMerge = 65641;    // "radio_direction_he"
constexpr int kLightPresetFirst = 65594;  // "mouse_color_panel_defcol0"
constexpr int kLightPresetLast = 65601;
constexpr int kAreaPresetFirst = 65603;   // "mouse_color_area1_defcol0"
constexpr int kAreaPresetLast = 65634;    // "mouse_color_area4_defcol7"
constexpr int kDpiPresetFirst = 65662;    // "mouse_dpi_color_panel_defcol0"
constexpr int kDpiPresetLast = 65669;
constexpr int kEffectComboId = 65586;     // "cmb_light_mode_normal"
constexpr int kDpiStageComboId = 65655;   // "cmb_mouse_dpi_index"
constexpr int kModeComboId = 65675;       // "cmb_profile"
constexpr size_t kPresetsPerArea = 8;

// The page's own write of the effect index, told apart from the device's.
constexpr int kOwnEffectWrite = 1;
constexpr int kFactoryRestoreRequested = 1;

constexpr wchar_t kRestoreButton[] = L"btn_mouse_restore_factory";
constexpr wchar_t kBrightnessBar[] = L"bar_mouse_brightness";
constexpr wchar_t kSpeedBar[] = L"bar_mouse_speed";
constexpr wchar_t kDpiLevelBar[] = L"bar_mouse_dpi_grade";
constexpr wchar_t kDpiBrightnessBar[] = L"bar_mouse_dpi_brightness";
constexpr wchar_t kRestoreText[] = L"All settings will be restored, are you sure you want to continue?";
constexpr wchar_t kRestoreCaption[] = L"Warning";

constexpr bool inRange(int value, int first, int last) { return first <= value && value <= last; }

// A picked colour arrives with blue in the low byte; the page keeps red there.
constexpr SColorRef exchangeRedBlue(std::uint32_t colour)
{
    return (colour & 0xFF00FF00u) | ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu);
}

SColorRef presetColour(size_t index)
{
    const PresetColor& preset = presetColors[index];
    return makeColor(preset.red, preset.green, preset.blue, kPresetAlpha);
}

void showNumber(SWindow* widget, int value)
{
    if (widget != nullptr) {
        widget->setWindowText(std::to_wstring(value));
    }
}

int defaultEditor(ProfileGroup& profile, const std::map<int, std::wstring>& buttonNames, SHostWnd* parent)
{
    MacroRecordDlg dialog(profile, buttonNames);
    return dialog.doModal(parent);
}

int defaultConfirmation(SHostWnd* parent, const std::wstring& text, const std::wstring& caption)
{
    return SMessageBox(parent, text, caption, MB_OKCANCEL | MB_ICONWARNING);
}

void defaultNotice(SHostWnd* parent, const std::wstring& text, const std::wstring& caption)
{
    SMessageBox(parent, text, caption, MB_OK | MB_ICONERROR);
}

}  // namespace

MouseUi::MouseUi() : editor_(&defaultEditor), confirmation_(&defaultConfirmation), notice_(&defaultNotice) {}

MouseUi::~MouseUi()
{
    unregisterHook(this);
    if (picture_) {
        picture_->setListener(nullptr);
    }
    for (ColourPanel* panel : {&lightPanel_, &dpiPanel_}) {
        if (panel->pad && panel->pad->funcProxy() == panel->proxy.get()) {
            panel->pad->setFuncProxy(nullptr);
        }
    }
}

template <class T>
T* MouseUi::find(const wchar_t* name) const
{
    return root_ != nullptr ? root_->findChildByName<T>(name) : nullptr;
}

void MouseUi::initPage(SWindow* root, SHostWnd* window)
{
    root_ = root;
    window_ = window;
    registerHook(this, window);
    installWidgetMapIfAsked();

    picture_ = find<CoordButtonImage>(L"img_keyboard");
    if (picture_) {
        picture_->setListener(this);
        tooltip_ = std::make_unique<ButtonTooltip>(*picture_,
                                                   [this](const CoordButtonItem& item) { return buttonTooltip(item); });
    }

    const auto subscribeCombo = [this](QPointer<SComboBox>& combo, const wchar_t* name) {
        combo = find<SComboBox>(name);
        if (combo) {
            combo->subscribeEvent(EventCBSelChange::kEventId, this, &MouseUi::onComboChanged);
        }
    };
    subscribeCombo(effectCombo_, L"cmb_light_mode_normal");
    subscribeCombo(modeCombo_, L"cmb_profile");

    speedBar_ = find<SSliderBar>(kSpeedBar);
    brightnessBar_ = find<SSliderBar>(kBrightnessBar);
    const auto collectRadios = [this](std::vector<QPointer<SWindow>>& list, std::initializer_list<int> ids) {
        list.clear();
        for (int id : ids) {
            list.emplace_back(root_ != nullptr ? root_->findChildById(id, L"radio") : nullptr);
        }
    };
    collectRadios(colourRadios_, {65647, 65648, 65649, 65650, 65651, 65652, 65653});
    collectRadios(leftRightRadios_, {kDirectionLeft, kDirectionRight});
    collectRadios(splitMergeRadios_, {kDirectionSplit, kDirectionMerge});

    effectGroups_.clear();
    for (const wchar_t* name : kEffectGroupNames) {
        effectGroups_.emplace_back(find<SWindow>(name));
    }
    const auto findPanel = [this](ColourPanel& panel, const std::wstring& prefix,
                                  void (MouseUi::*handler)(unsigned, int, int, std::uint32_t*)) {
        panel.pad = find<SSImage>((prefix + L"_pad").c_str());
        panel.preview = find<SWindow>((prefix + L"_preview").c_str());
        panel.components = {find<SWindow>((prefix + L"_r").c_str()), find<SWindow>((prefix + L"_g").c_str()),
                            find<SWindow>((prefix + L"_b").c_str())};
        for (QPointer<SWindow>& edit : panel.components) {
            if (edit && !edit->isClass(L"edit")) {
                edit = nullptr;
            }
        }
        if (panel.pad) {
            auto proxy = std::make_unique<SSImage::FuncProxy<MouseUi>>(this, handler);
            panel.pad->setFuncProxy(proxy.get());
            panel.proxy = std::move(proxy);
        }
    };
    findPanel(lightPanel_, L"color_panel", &MouseUi::onLightPadColour);

    subscribeCombo(dpiStageCombo_, L"cmb_mouse_dpi_index");
    dpiBrightnessBar_ = find<SSliderBar>(kDpiBrightnessBar);
    dpiLevelBar_ = find<SSliderBar>(kDpiLevelBar);
    findPanel(dpiPanel_, L"mouse_dpi_color_panel", &MouseUi::onDpiPadColour);
    dpiValueText_ = find<SWindow>(L"text_mouse_dpi_grade");
    if (dpiValueText_ && !dpiValueText_->isClass(L"text")) {
        dpiValueText_ = nullptr;
    }

    mode_.bind(this, &MouseUi::onModeChanged, true);
    effectIndex_.bind(this, &MouseUi::onEffectIndexChanged, true);
    light_.bind(this, &MouseUi::onLightChanged, true);
    dpiStage_.bind(this, &MouseUi::onDpiStageChanged, true);
    dpi_.bind(this, &MouseUi::onDpiChanged, true);
    for (uint32_t i = 0; i < status_.length(); ++i) {
        status_.data()[i] = 0;
    }
    status_.bind(this, &MouseUi::onStatusChanged, true);

    // Told once the window is up rather than while it is being built; the
    // window owns the page, so the queued call dies with it.
    if (window != nullptr) {
        QTimer::singleShot(0, window, [this] { tellUnreadableProfile(mouseProfileStore()); });
    }
}

bool MouseUi::onEvent(EventArgs* event)
{
    if (event == nullptr) {
        return false;
    }
    bool taken = false;
    if (event->id == EventCmd::kEventId) {
        taken = onCommand(event);
    } else if (event->id == EventSliderPos::kEventId) {
        taken = onSlider(event);
    }
    if (taken) {
        event->handled = true;
    }
    return taken;
}

bool MouseUi::onCommand(EventArgs* event)
{
    const int id = event->idFrom;
    if (event->nameFrom == kRestoreButton) {
        restoreFactorySettings();
        return true;
    }
    if (inRange(id, kColourRadioFirst, kColourRadioLast)) {
        if (LightDat* light = light_.tryAt(-1)) {
            light->color_index = id - kColourRadioFirst;
            light_.notifyOthers(0, false);
        }
        return true;
    }
    if (id == kDirectionLeft || id == kDirectionRight || id == kDirectionSplit || id == kDirectionMerge) {
        if (LightDat* light = light_.tryAt(-1)) {
            light->direction = (id == kDirectionRight || id == kDirectionMerge) ? 1 : 0;
            light_.notifyOthers(0, false);
        }
        return true;
    }
    if (inRange(id, kLightPresetFirst, kLightPresetLast)) {
        applyLightColour(presetColour(static_cast<size_t>(id - kLightPresetFirst)), 0, true);
        return true;
    }
    if (inRange(id, kAreaPresetFirst, kAreaPresetLast)) {
        const auto k = static_cast<size_t>(id - kAreaPresetFirst);
        applyLightColour(presetColour(k % kPresetsPerArea), k / kPresetsPerArea, false);
        return true;
    }
    if (inRange(id, kDpiPresetFirst, kDpiPresetLast)) {
        applyDpiColour(presetColour(static_cast<size_t>(id - kDpiPresetFirst)));
        return true;
    }
    return false;
}

bool MouseUi::onSlider(EventArgs* event)
{
    const auto* slider = event->as<EventSliderPos>();
    if (slider == nullptr) {
        return false;
    }
    const int position = slider->nPos;
    const std::wstring& name = event->nameFrom;
    if (name == kBrightnessBar || name == kSpeedBar) {
        if (LightDat* light = light_.tryAt(-1)) {
            (name == kBrightnessBar ? light->brightness : light->speed) = static_cast<uint8_t>(position);
            light_.notifyOthers(0, false);
        }
        return true;
    }
    if (name == kDpiLevelBar) {
        if (DpiDat* dpi = dpi_.tryAt(-1)) {
            dpi->level = position;
            dpi_.notifyOthers(0, false);
            showDpiValue(position);
        }
        return true;
    }
    if (name == kDpiBrightnessBar) {
        dpiBrightness_.setCurrentValue(position, 0, false, false);
        return true;
    }
    return false;
}

bool MouseUi::onComboChanged(EventArgs* event)
{
    const auto* change = event->as<EventCBSelChange>();
    if (change == nullptr) {
        return false;
    }
    switch (event->idFrom) {
    case kEffectComboId:
        effectIndex_.setCurrentValue(change->nCurSel, kOwnEffectWrite, true, false);
        break;
    case kDpiStageComboId:
        dpiStage_.setCurrentValue(change->nCurSel, 0, false, false);
        break;
    case kModeComboId:
        mode_.setCurrentValue(change->nCurSel, 0, false, false);
        break;
    default:
        break;
    }
    return false;
}

void MouseUi::onLightPadColour(unsigned, int, int, std::uint32_t* colour)
{
    if (colour != nullptr) {
        applyLightColour(exchangeRedBlue(*colour), 0, true);
    }
}

void MouseUi::onDpiPadColour(unsigned, int, int, std::uint32_t* colour)
{
    if (colour != nullptr) {
        applyDpiColour(exchangeRedBlue(*colour));
    }
}

void MouseUi::applyLightColour(SColorRef colour, size_t area, bool showComponents)
{
    if (lightPanel_.preview) {
        lightPanel_.preview->setBackgroundColor(colour);
    }
    if (showComponents) {
        showNumber(lightPanel_.components[0], colorRed(colour));
        showNumber(lightPanel_.components[1], colorGreen(colour));
        showNumber(lightPanel_.components[2], colorBlue(colour));
    }
    LightDat* light = light_.tryAt(-1);
    if (light == nullptr || area >= light->area_colors.size()) {
        return;
    }
    light->area_colors[area] = RgbColor{colorRed(colour), colorGreen(colour), colorBlue(colour)};
    light_.notifyOthers(0, true);
}

void MouseUi::applyDpiColour(SColorRef colour)
{
    if (dpiPanel_.preview) {
        dpiPanel_.preview->setBackgroundColor(colour);
    }
    showNumber(dpiPanel_.components[0], colorRed(colour));
    showNumber(dpiPanel_.components[1], colorGreen(colour));
    showNumber(dpiPanel_.components[2], colorBlue(colour));
    DpiDat* dpi = dpi_.tryAt(-1);
    if (dpi == nullptr) {
        return;
    }
    dpi->red = colorRed(colour);
    dpi->green = colorGreen(colour);
    dpi->blue = colorBlue(colour);
    dpi->reserved = colorAlpha(colour);
    dpi_.notifyOthers(0, true);
}

void MouseUi::restoreFactorySettings()
{
    if (confirmation_(window_, kRestoreText, kRestoreCaption) != IDOK) {
        return;
    }
    if (int* request = factoryRestore_.tryAt(-1)) {
        *request = kFactoryRestoreRequested;
        factoryRestore_.notifyOthers(0, true);
    }
}

void MouseUi::onModeChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t, int)
{
    if (modeCombo_ && length > 0) {
        modeCombo_->setCurSel(values[0]);
    }
}

void MouseUi::onEffectIndexChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t,
                                   int param)
{
    if (length == 0) {
        return;
    }
    if (param == 0 && effectCombo_) {
        effectCombo_->setCurSel(values[0]);
    }
    showEffectGroups(values[0]);
}

void MouseUi::showEffectGroups(int effectIndex)
{
    if (effectIndex < 0 || static_cast<size_t>(effectIndex) >= kEffectGroupVisibility.size()) {
        return;
    }
    const EffectGroupRow& row = kEffectGroupVisibility[static_cast<size_t>(effectIndex)];
    for (size_t i = 0; i < effectGroups_.size(); ++i) {
        if (effectGroups_[i]) {
            effectGroups_[i]->setWindowVisible(row[i]);
        }
    }
}

void MouseUi::onDpiStageChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t, int)
{
    if (dpiStageCombo_ && length > 0) {
        dpiStageCombo_->setCurSel(values[0]);
    }
}

void MouseUi::onLightChanged(int, const LightDat* values, uint32_t length, uint32_t, uint32_t, uint32_t, int)
{
    if (length == 0) {
        return;
    }
    const LightDat& light = values[0];
    for (size_t i = 0; i < colourRadios_.size(); ++i) {
        if (colourRadios_[i]) {
            colourRadios_[i]->setCheck(static_cast<int32_t>(i) == light.color_index);
        }
    }
    if (brightnessBar_) {
        brightnessBar_->setValue(light.brightness);
    }
    if (speedBar_) {
        speedBar_->setValue(light.speed);
    }
    for (auto* list : {&leftRightRadios_, &splitMergeRadios_}) {
        for (size_t i = 0; i < list->size(); ++i) {
            if ((*list)[i]) {
                (*list)[i]->setCheck(static_cast<int32_t>(i) == light.direction);
            }
        }
    }
}

void MouseUi::onDpiChanged(int, const DpiDat* values, uint32_t length, uint32_t, uint32_t, uint32_t, int)
{
    if (length == 0) {
        return;
    }
    const DpiDat& dpi = values[0];
    showDpiValue(dpi.level);
    if (dpiLevelBar_) {
        dpiLevelBar_->setValue(dpi.level);
    }
    // The stage's colour belongs to the DPI panel; the mouse keeps no opacity, so it shows opaque.
    const SColorRef colour = makeColor(dpi.red, dpi.green, dpi.blue);
    if (dpiPanel_.preview) {
        dpiPanel_.preview->setBackgroundColor(colour);
    }
    showNumber(dpiPanel_.components[0], dpi.red);
    showNumber(dpiPanel_.components[1], dpi.green);
    showNumber(dpiPanel_.components[2], dpi.blue);
}

void MouseUi::showDpiValue(int32_t level)
{
    if (level >= 0 && static_cast<size_t>(level) < dpiValueTable.size()) {
        showNumber(dpiValueText_, dpiValueTable[static_cast<size_t>(level)]);
    }
}

void MouseUi::onStatusChanged(int, const unsigned char* values, uint32_t length, uint32_t, uint32_t, uint32_t, int)
{
    if (!picture_) {
        return;
    }
    picture_->setItemSelected(CoordButtonImage::kAllItems, false);
    CoordButtonItem item;
    for (uint32_t i = 0; i < length; ++i) {
        if (picture_->findItem(static_cast<int32_t>(i), item)) {
            picture_->setItemSelected(static_cast<int32_t>(i), values[i] != 0);
        }
    }
}

int MouseUi::onCoordButton(int code, const CoordButtonItem& item, int phase, unsigned, int, int)
{
    if (phase != 1) {
        return 0;
    }
    const std::map<int, std::wstring> buttonNames{{code, item.name}};
    ProfileStore& store = mouseProfileStore();
    ProfileGroup* profile = selectedProfileGroup(store);
    if (profile == nullptr) {
        profile = appendProfileGroup(store);
    }
    const int result = editor_(*profile, buttonNames, window_);
    if (result == IDOK) {
        removeButtonRecord(*profile, code);
        if (std::optional<ButtonAssignment> assignment =
                buildButtonAssignment(code, item.name, *profile, store, funcKeys_, combKeys_)) {
            profile->records.push_back(assignment->record);
            assignment_.setCurrentValue(assignment->record, assignment->param, false, true);
        }
    } else if (result == kDeleteResult) {
        removeButtonRecord(*profile, code);
        CoordButtonItem known;
        if (picture_ && picture_->findItem(code, known)) {
            const ButtonAssignment restore = ownFunctionAssignment(code);
            assignment_.setCurrentValue(restore.record, restore.param, false, true);
        }
    }
    saveMouseProfile(store);
    return 0;
}

void MouseUi::saveMouseProfile(ProfileStore& store)
{
    std::string failure;
    if (saveProfileStore(store, &failure)) {
        saveFailureTold_ = false;
        return;
    }
    if (saveFailureTold_) {
        return;
    }
    saveFailureTold_ = true;
    const QString text =
        translate("The mouse profile could not be saved (%1). The change stays in effect and is saved with the next one.")
            .arg(QString::fromStdString(failure));
    notice_(window_, text.toStdWString(), translate("Profile not saved").toStdWString());
}

void MouseUi::tellUnreadableProfile(ProfileStore& store)
{
    if (store.unreadableReason.empty()) {
        return;
    }
    const QString path = QString::fromStdString(profileFilePath(store, store.fileName).string());
    const QString text = translate("The mouse profile %1 could not be read (%2). The page starts without its "
                                   "assignments; the file is kept, renamed to end in \".unreadable\", when the "
                                   "profile is next saved.")
                             .arg(path, QString::fromStdString(store.unreadableReason));
    store.unreadableReason.clear();
    notice_(window_, text.toStdWString(), translate("Profile not read").toStdWString());
}

QString MouseUi::translate(const char* text) const
{
    return root_ != nullptr ? root_->translate(QString::fromUtf8(text)) : QString::fromUtf8(text);
}

std::wstring MouseUi::buttonTooltip(const CoordButtonItem& item) const
{
    const QString button = root_ != nullptr ? root_->translate(QString::fromStdWString(item.name))
                                            : QString::fromStdWString(item.name);
    const ProfileGroup* profile = selectedProfileGroup(std::as_const(mouseProfileStore()));
    const RecordGroup* record = profile != nullptr ? findButtonRecord(*profile, item.id) : nullptr;
    if (record == nullptr) {
        return translate("%1: its own function").arg(button).toStdWString();
    }
    if (record->page == kPageMacro) {
        return translate("%1: macro \"%2\"").arg(button, QString::fromStdWString(record->group)).toStdWString();
    }
    return translate("%1: %2").arg(button, QString::fromStdWString(record->name)).toStdWString();
}
