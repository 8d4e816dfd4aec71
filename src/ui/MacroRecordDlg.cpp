#include "ui/MacroRecordDlg.h"

#include <QCoreApplication>
#include <QFileDialog>

#include <algorithm>
#include <chrono>
#include <exception>

#include "config/TextToInt.h"
#include "shape/ShapeHook.h"
#include "toolkit/SApplication.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"
#include "toolkit/SMessageBox.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/SText.h"
#include "ui/MacroFile.h"

namespace {

// Widget ids of the named-ID table.
constexpr int kIdTab = 65545;
constexpr int kIdRepeatEdit = 65565;
constexpr int kIdDelayEdit = 65566;
constexpr int kIdDelayRecorded = 65567;
constexpr int kIdDelayFixed = 65568;
constexpr int kIdDelayNone = 65569;
constexpr int kIdRecordCheck = 65570;
constexpr int kIdSingleRecordCheck = 65571;
constexpr int kIdSingleKeyText = 65572;
constexpr int kIdMediaKeys = 65573;
constexpr int kIdFunctionKeys = 65574;
constexpr int kDelayModeIds[] = {kIdDelayRecorded, kIdDelayFixed, kIdDelayNone};

// Widgets found by name.
constexpr wchar_t kGroupList[] = L"macro_group";
constexpr wchar_t kKeyList[] = L"key_info";
constexpr wchar_t kRecordingKeys[] = L"text_recording_keys";
constexpr wchar_t kRecordingLine[] = L"text_record_state";
constexpr wchar_t kRecordingMark[] = L"img_recording";

constexpr int kDecimal = 10;
constexpr int kModeCount = 3;

uint32_t steadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::wstring joinedKeyNames(const std::map<int, std::wstring>& keyNames)
{
    std::wstring text;
    for (const auto& [code, name] : keyNames) {
        if (name.empty()) {
            continue;
        }
        if (!text.empty()) {
            text += L',';
        }
        text += name;
    }
    return text;
}

bool isEditChange(EventArgs* event)
{
    auto* notify = event->as<EventRichEditNotify>();
    return notify && notify->iNotify == EN_CHANGE;
}

}  // namespace

MacroRecordDlg::MacroRecordDlg(ProfileGroup& profile, const std::map<int, std::wstring>& keyNames)
    : SHostDialog(kLayoutName), profile_(profile), keyNames_(keyNames), clock_(&steadyMilliseconds)
{
    groupAdapter_.setMacros(&profile_.macros);
}

MacroRecordDlg::~MacroRecordDlg()
{
    if (handlerRegistered_) {
        unregisterKeyboardHandler(&MacroRecordDlg::keyboardHandler, this);
    }
    unregisterHook(this);
    // The lists go with the window; they must not keep the adapters.
    if (keyList_) {
        keyList_->setAdapter(nullptr);
    }
    if (groupList_) {
        groupList_->setAdapter(nullptr);
    }
}

bool MacroRecordDlg::handleMessage(unsigned msg, uintptr_t, intptr_t, intptr_t& result)
{
    if (msg == WM_INITDIALOG) {
        initDialog();
        result = 1;
        return true;
    }
    return false;
}

void MacroRecordDlg::initDialog()
{
    registerHook(this, this);

    keyList_ = findChildByName<SMcListView>(kKeyList);
    if (keyList_) {
        keyList_->setAdapter(&keyAdapter_);
    }
    groupList_ = findChildByName<SListView>(kGroupList);
    groupAdapter_.setListener(this);
    if (groupList_) {
        groupList_->setAdapter(&groupAdapter_);
    }

    const int groupCount = static_cast<int>(profile_.macros.size());
    if (profile_.macroSel >= 0 && profile_.macroSel < groupCount) {
        if (groupList_) {
            groupList_->setSel(profile_.macroSel);
        }
        keyAdapter_.attach(&profile_.macros, profile_.macroSel);
    }

    lastEventTime_ = -1;

    if (SWindow* recordingKeys = findChildByName(kRecordingKeys, SText::kClassTag)) {
        recordingKeys->setWindowText(joinedKeyNames(keyNames_));
    }

    ProfileParam& param = profile_.param;
    if (param.dlmode >= kModeCount) {
        param.dlmode = kDelayRecorded;
    }
    delayModeButtons_.clear();
    for (int id : kDelayModeIds) {
        if (SWindow* button = findChildById(id)) {
            button->setCheck(false);
            delayModeButtons_.push_back(button);
        }
    }
    if (param.dlmode >= 0 && param.dlmode < static_cast<int>(delayModeButtons_.size())) {
        delayModeButtons_[param.dlmode]->setCheck(true);
    }

    tab_ = static_cast<STabCtrl*>(findChildById(kIdTab, L"tabctrl2"));
    repeatEdit_ = findChildById(kIdRepeatEdit, L"edit");
    delayEdit_ = findChildById(kIdDelayEdit, L"edit");
    recordCheck_ = static_cast<SCheckBox*>(findChildById(kIdRecordCheck, L"checkex"));
    singleRecordCheck_ = static_cast<SCheckBox*>(findChildById(kIdSingleRecordCheck, L"checkex"));
    singleKeyText_ = findChildById(kIdSingleKeyText, SText::kClassTag);
    mediaKeys_ = findChildById<SComboBox>(kIdMediaKeys);
    functionKeys_ = findChildById<SComboBox>(kIdFunctionKeys);
    recordingLine_ = findChildByName(kRecordingLine);
    recordingMark_ = findChildByName(kRecordingMark);

    showSingleKey();

    for (SComboBox* combo : {mediaKeys_, functionKeys_}) {
        if (combo) {
            combo->subscribeEvent(EventCBSelChange::kEventId, this, &MacroRecordDlg::onComboChanged);
        }
    }
    fillComboBoxes();

    if (recordCheck_) {
        recordCheck_->subscribeEvent(EventCmd::kEventId, this, &MacroRecordDlg::onRecordClicked);
    }
    for (SWindow* edit : {repeatEdit_, delayEdit_}) {
        if (edit) {
            edit->subscribeEvent(EventRichEditNotify::kEventId, this, &MacroRecordDlg::onEditChanged);
        }
    }
    if (tab_) {
        tab_->subscribeEvent(EventTabSelChanged::kEventId, this, &MacroRecordDlg::onPageChanged);
        tab_->setCurSel(param.page);
    }

    if (delayEdit_) {
        delayEdit_->setWindowText(std::to_wstring(param.delay));
    }
    if (repeatEdit_) {
        repeatEdit_->setWindowText(std::to_wstring(param.repeat));
    }
    if (delayEdit_) {
        if (param.dlmode == kDelayNone) {
            delayEdit_->setWindowText(L"0");
        }
        if (param.dlmode == kDelayRecorded || param.dlmode == kDelayNone) {
            delayEdit_->enableWindow(false);
        }
    }

    if (recordCheck_) {
        recordCheck_->setCheck(false);
    }
    if (functionKeys_) {
        functionKeys_->setCurSel(param.function);
    }
    if (mediaKeys_) {
        mediaKeys_->setCurSel(param.media);
    }
    if (singleRecordCheck_) {
        singleRecordCheck_->setCheck(false);
    }

    if (handlerRegistered_) {
        unregisterKeyboardHandler(&MacroRecordDlg::keyboardHandler, this);
    }
    registerKeyboardHandler(this, &MacroRecordDlg::keyboardHandler);
    handlerRegistered_ = true;
    updateRecordingLine();
}

QString MacroRecordDlg::translated(const QString& source) const
{
    const SApplication* app = SApplication::instance();
    return app ? app->translate(source, translationContext()) : source;
}

void MacroRecordDlg::showSingleKey()
{
    if (!singleKeyText_) {
        return;
    }
    const int code = profile_.param.skcode;
    const wchar_t* name = code != 0 ? lookupKeyName(code) : nullptr;
    singleKeyText_->setWindowText(name ? name : L"");
}

void MacroRecordDlg::fillComboBoxes()
{
    SApplication* app = SApplication::instance();
    const auto translated = [app](const std::wstring& name) {
        return app ? app->translate(QString::fromStdWString(name), QString()).toStdWString() : name;
    };
    if (mediaKeys_) {
        mediaKeys_->resetContent();
        for (uint32_t i = 0; i < funcKeys_.length(); ++i) {
            mediaKeys_->addItem(translated(funcKeys_.at(static_cast<int32_t>(i)).name));
        }
    }
    if (functionKeys_) {
        functionKeys_->resetContent();
        for (uint32_t i = 0; i < combKeys_.length(); ++i) {
            functionKeys_->addItem(translated(combKeys_.at(static_cast<int32_t>(i)).name));
        }
    }
}

void MacroRecordDlg::onEvent(EventArgs* event)
{
    if (event->id != EventCmd::kEventId) {
        return;
    }
    const std::wstring& from = event->nameFrom;
    const int id = event->idFrom;
    const auto take = [event] { event->handled = true; };

    if (from == L"btnRestore") {
        take();
        sendMessage(WM_SYSCOMMAND, SC_RESTORE);
    } else if (from == L"btnMin") {
        take();
        sendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    } else if (from == L"btnOK") {
        take();
        const int page = profile_.param.page;
        if (!keyNames_.empty() && page >= kPageMacro && page <= kPageFunctionKey && groupList_) {
            profile_.macroSel = groupList_->getSel();
        }
        endDialog(IDOK);
    } else if (from == L"btnDelete") {
        take();
        endDialog(kDeleteResult);
    } else if (from == L"btnCancel") {
        take();
        endDialog(IDCANCEL);
    } else if (from == L"groupAdd") {
        take();
        addGroup();
    } else if (from == L"groupDel") {
        take();
        deleteGroup();
    } else if (from == L"item_up") {
        take();
        moveStep(true);
    } else if (from == L"item_down") {
        take();
        moveStep(false);
    } else if (from == L"item_delete") {
        take();
        deleteStep();
    } else if (from == L"item_clear") {
        take();
        clearSteps();
    } else if (from == L"chk_macro_record") {
        take();
        if (recordCheck_ && recordCheck_->isChecked()) {
            switchKeyboardHookOn();
        } else {
            switchKeyboardHookOff();
        }
        updateRecordingLine();
    } else if (from == L"groupExport") {
        take();
        exportGroups();
    } else if (from == L"groupImport") {
        take();
        importGroups();
    } else if (id == kIdDelayRecorded || id == kIdDelayFixed || id == kIdDelayNone) {
        take();
        selectDelayMode(id);
    }
}

void MacroRecordDlg::selectDelayMode(int senderId)
{
    ProfileParam& param = profile_.param;
    if (senderId == kIdDelayRecorded) {
        param.dlmode = kDelayRecorded;
        if (delayEdit_) {
            delayEdit_->enableWindow(false);
        }
    } else if (senderId == kIdDelayFixed) {
        param.dlmode = kDelayFixed;
        if (delayEdit_) {
            delayEdit_->enableWindow(true);
            delayEdit_->setWindowText(std::to_wstring(param.delay));
        }
    } else if (senderId == kIdDelayNone) {
        param.dlmode = kDelayNone;
        if (delayEdit_) {
            delayEdit_->setWindowText(L"0");
            delayEdit_->enableWindow(false);
        }
    }
}

bool MacroRecordDlg::onComboChanged(EventArgs* event)
{
    auto* change = event->as<EventCBSelChange>();
    if (!change) {
        return false;
    }
    if (event->sender == mediaKeys_) {
        profile_.param.media = change->nCurSel;
    } else if (event->sender == functionKeys_) {
        profile_.param.function = change->nCurSel;
    }
    return false;
}

bool MacroRecordDlg::onRecordClicked(EventArgs*)
{
    if (!recordCheck_) {
        return false;
    }
    if (!groupList_ || groupList_->getSel() < 0) {
        recordCheck_->setCheck(false);
    } else {
        recordCheck_->setWindowText(recordCheck_->isChecked() ? L"Stop record" : L"Start record");
    }
    return false;
}

bool MacroRecordDlg::onEditChanged(EventArgs* event)
{
    if (!isEditChange(event)) {
        return false;
    }
    const std::wstring text = event->sender ? event->sender->windowText() : std::wstring();
    if (event->sender == repeatEdit_) {
        profile_.param.repeat = textToLong(text, kDecimal);
    } else if (event->sender == delayEdit_ && profile_.param.dlmode == kDelayFixed) {
        profile_.param.delay = textToLong(text, kDecimal);
    }
    return false;
}

bool MacroRecordDlg::onPageChanged(EventArgs* event)
{
    auto* change = event->as<EventTabSelChanged>();
    if (!change) {
        return false;
    }
    profile_.param.page = change->newSel;
    switchHookForPage();
    return false;
}

void MacroRecordDlg::switchHookForPage()
{
    const int page = profile_.param.page;
    const bool recordChecked = recordCheck_ && recordCheck_->isChecked();
    if (page == kPageSingleKey || (page == kPageMacro && recordChecked)) {
        switchKeyboardHookOn();
    } else {
        switchKeyboardHookOff();
    }
    updateRecordingLine();
}

bool MacroRecordDlg::isRecording() const
{
    return recordCheck_ && recordCheck_->isChecked() && groupList_ && groupList_->getSel() >= 0 &&
           profile_.param.page == kPageMacro;
}

void MacroRecordDlg::updateRecordingLine()
{
    const bool capturing = isRecording() || profile_.param.page == kPageSingleKey;
    if (recordingMark_) {
        recordingMark_->setWindowVisible(capturing && keyboardHookReach() != KeyboardHookReach::Off);
    }
    if (!recordingLine_) {
        return;
    }
    QString text;
    if (capturing) {
        switch (keyboardHookReach()) {
        case KeyboardHookReach::Desktop:
            text = isRecording() ? translated(QStringLiteral("Recording: keys typed anywhere are captured"))
                                 : translated(QStringLiteral("Press the key to assign"));
            break;
        case KeyboardHookReach::OwnWindows:
            text = keyboardHookRefused()
                       ? translated(QStringLiteral(
                             "Keys cannot be captured now: another program holds the keyboard. Only keys typed into this window are recorded"))
                       : translated(QStringLiteral("Only keys typed into this window are recorded"));
            break;
        case KeyboardHookReach::Off:
            text = translated(QStringLiteral("Keys cannot be captured now"));
            break;
        }
    }
    recordingLine_->setWindowText(text.toStdWString());
}

void MacroRecordDlg::onMacroGroupClicked(int index, const std::wstring&)
{
    keyAdapter_.attach(&profile_.macros, index);
    if (groupList_) {
        profile_.macroSel = groupList_->getSel();
    }
    updateRecordingLine();
}

void MacroRecordDlg::addGroup()
{
    const auto& macros = profile_.macros;
    int n = static_cast<int>(macros.size());
    std::wstring name;
    for (;; ++n) {
        name = L"Group " + std::to_wstring(n);
        const bool taken =
            std::any_of(macros.begin(), macros.end(), [&](const MacroGroup& g) { return g.name == name; });
        if (!taken) {
            break;
        }
    }
    groupAdapter_.addGroup(name);
    if (profile_.macroSel < 0 && !profile_.macros.empty()) {
        profile_.macroSel = 0;
        if (groupList_) {
            groupList_->setSel(0);
        }
        keyAdapter_.attach(&profile_.macros, 0);
    }
}

void MacroRecordDlg::deleteGroup()
{
    if (!groupList_) {
        return;
    }
    const int selected = groupList_->getSel();
    if (selected >= 0) {
        groupAdapter_.deleteGroup(selected);
    }
    profile_.macroSel = groupList_->getSel();
    if (profile_.macroSel < 0) {
        keyAdapter_.detach();
    } else {
        keyAdapter_.attach(&profile_.macros, profile_.macroSel);
    }
    updateRecordingLine();
}

void MacroRecordDlg::takeGroupSelection()
{
    if (groupList_) {
        profile_.macroSel = groupList_->getSel();
    }
}

void MacroRecordDlg::moveStep(bool up)
{
    if (keyList_) {
        const int row = keyList_->getSel();
        if (up ? keyAdapter_.moveStepUp(row) : keyAdapter_.moveStepDown(row)) {
            keyList_->setSel(up ? row - 1 : row + 1);
        }
    }
    takeGroupSelection();
}

void MacroRecordDlg::deleteStep()
{
    if (keyList_) {
        keyAdapter_.deleteStep(keyList_->getSel());
    }
    takeGroupSelection();
}

void MacroRecordDlg::clearSteps()
{
    keyAdapter_.deleteAllSteps();
    takeGroupSelection();
}

std::filesystem::path MacroRecordDlg::chooseFile(bool save)
{
    if (fileChooser_) {
        return fileChooser_(save);
    }
    const QString filter = translated(QStringLiteral("Macro files (*.xml)"));
    const QString file = save ? QFileDialog::getSaveFileName(this, QString(), QString(), filter)
                              : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
    return std::filesystem::path(file.toStdString());
}

void MacroRecordDlg::exportGroups()
{
    const std::filesystem::path path = chooseFile(true);
    if (path.empty()) {
        return;
    }
    // The selected group, or the whole library when none is selected.
    std::vector<MacroGroup> groups;
    const int selected = groupList_ ? groupList_->getSel() : -1;
    if (selected >= 0 && selected < static_cast<int>(profile_.macros.size())) {
        groups.push_back(profile_.macros[selected]);
    } else {
        groups = profile_.macros;
    }
    if (!writeMacroFile(path, groups)) {
        SMessageBox(this, translated(QStringLiteral("The macro file could not be written.")).toStdWString(),
                    translated(QStringLiteral("Export")).toStdWString(), MB_OK | MB_ICONERROR);
    }
}

void MacroRecordDlg::importGroups()
{
    const std::filesystem::path path = chooseFile(false);
    if (path.empty()) {
        return;
    }
    std::vector<MacroGroup> imported;
    if (readMacroFile(path, imported) != MacroFileResult::Ok) {
        SMessageBox(this, translated(QStringLiteral("This file is not a macro file; nothing was imported.")).toStdWString(),
                    translated(QStringLiteral("Import")).toStdWString(), MB_OK | MB_ICONWARNING);
        return;
    }
    appendImportedGroups(profile_.macros, imported);
    groupAdapter_.notifyDataSetChanged();
    keyAdapter_.notifyDataSetChanged();
}

bool MacroRecordDlg::keyboardHandler(void* object, int, unsigned message, const KeyHookEvent& event)
{
    return static_cast<MacroRecordDlg*>(object)->onKey(message, event);
}

bool MacroRecordDlg::onKey(unsigned message, const KeyHookEvent& event)
{
    const int code = keyCodeOfEvent(event.vkCode, event.flags);
    const int page = profile_.param.page;
    if (page == kPageSingleKey) {
        if (!isKeyDownMessage(message)) {
            return false;
        }
        profile_.param.skcode = code;
        if (singleKeyText_) {
            const wchar_t* name = lookupKeyName(code);
            singleKeyText_->setWindowText(name ? name : L"");
            singleKeyText_->setUserData(code);
        }
        return true;
    }
    if (page != kPageMacro || !recordCheck_ || !recordCheck_->isChecked()) {
        return false;
    }
    try {
        if (isKeyDownMessage(message)) {
            recordStep(code, 0);
        } else if (isKeyUpMessage(message) && keyAdapter_.getCount() > 0) {
            recordStep(code, 1);
        }
    } catch (const std::exception&) {
        // A failure of the standard library (out of memory) loses this step only.
    }
    return true;
}

void MacroRecordDlg::recordStep(int code, int32_t state)
{
    if (!keyAdapter_.items() || code == 0) {
        return;
    }
    const uint32_t now = clock_();
    const int count = keyAdapter_.getCount();
    if (count > 0) {
        MacroItem* last = keyAdapter_.stepAt(count - 1);
        switch (profile_.param.dlmode) {
        case kDelayRecorded:
            // Before the first event of this dialog the pause after the old
            // last step is unknown: it keeps its delay.
            if (lastEventTime_ >= 0) {
                last->delay = static_cast<int32_t>(now - static_cast<uint32_t>(lastEventTime_));
            }
            break;
        case kDelayFixed:
            last->delay = profile_.param.delay;
            break;
        default:
            last->delay = 0;
            break;
        }
    }
    const wchar_t* name = lookupKeyName(code);
    keyAdapter_.appendStep(MacroItem{code, state, 0, name ? name : L""});
    if (keyList_) {
        keyList_->ensureVisible(keyAdapter_.getCount() - 1);
    }
    lastEventTime_ = now;
}
