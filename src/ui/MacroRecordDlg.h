#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/ProfileStore.h"
#include "shape/Channels.h"
#include "toolkit/SHostDialog.h"
#include "ui/IOnMacroGroupClickedListener.h"
#include "ui/KeyAndDelayAdapter.h"
#include "ui/KeyboardHook.h"
#include "ui/MacroGroupAdapter.h"

class SCheckBox;
class SComboBox;
class SListView;
class SMcListView;
class STabCtrl;
class SWindow;

// The macro editor: a modal dialog on "LAYOUT:macro" that edits one profile
// in place (its assignment page, macro settings, single key, function and
// combination key choices, and its library of macro groups) and records key
// presses and releases through the keyboard hook. It ends with IDOK (1),
// IDCANCEL (2) or kDeleteResult; the profile keeps the edits in every case.
class MacroRecordDlg : public SHostDialog, public IOnMacroGroupClickedListener {
public:
    static constexpr const wchar_t* kLayoutName = L"LAYOUT:macro";
    static constexpr int kDeleteResult = 65576;  // "btnDelete": restore the button's default

    // Assignment pages of the tab control.
    static constexpr int kPageMacro = 0;
    static constexpr int kPageSingleKey = 1;
    static constexpr int kPageFunctionKey = 2;
    static constexpr int kPageCombinationKey = 3;

    // Delay modes.
    static constexpr int kDelayRecorded = 0;
    static constexpr int kDelayFixed = 1;
    static constexpr int kDelayNone = 2;

    // A 32-bit millisecond clock.
    using Clock = std::function<uint32_t()>;
    // Asks for a file to export to (save) or import from; empty: cancelled.
    using FileChooser = std::function<std::filesystem::path(bool save)>;

    // `keyNames`: the names of the buttons being assigned, by button code
    // (not owned; both outlive the dialog).
    MacroRecordDlg(ProfileGroup& profile, const std::map<int, std::wstring>& keyNames);
    ~MacroRecordDlg() override;

    const wchar_t* objectClassName() const override { return L"macro::Grouplg"; }
    bool isObjectClass(std::wstring_view name) const override
    {
        return name == L"macro::Grouplg" || SHostDialog::isObjectClass(name);
    }

    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }

    void onMacroGroupClicked(int index, const std::wstring& name) override;

    // Whether keys are being recorded now: the switch is on, a group is
    // selected and the macro page shows.
    bool isRecording() const;

    MacroGroupAdapter& groupAdapter() { return groupAdapter_; }
    KeyAndDelayAdapter& keyAdapter() { return keyAdapter_; }

protected:
    bool handleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    void onEvent(EventArgs* event) override;

private:
    void initDialog();
    // A text of the layout's translation context.
    QString translated(const QString& source) const;
    void showSingleKey();
    void fillComboBoxes();
    void selectDelayMode(int senderId);
    void switchHookForPage();
    void updateRecordingLine();

    void addGroup();
    void deleteGroup();
    void moveStep(bool up);
    void deleteStep();
    void clearSteps();
    void takeGroupSelection();
    std::filesystem::path chooseFile(bool save);
    void exportGroups();
    void importGroups();

    static bool keyboardHandler(void* object, int hookCode, unsigned message, const KeyHookEvent& event);
    bool onKey(unsigned message, const KeyHookEvent& event);
    void recordStep(int code, int32_t state);

    bool onComboChanged(EventArgs* event);
    bool onRecordClicked(EventArgs* event);
    bool onEditChanged(EventArgs* event);
    bool onPageChanged(EventArgs* event);

    ProfileGroup& profile_;
    const std::map<int, std::wstring>& keyNames_;
    MacroGroupAdapter groupAdapter_;
    KeyAndDelayAdapter keyAdapter_;
    FuncKeyListShape funcKeys_;
    CombKeyListShape combKeys_;
    Clock clock_;
    FileChooser fileChooser_;
    // Clock reading at the previous recorded key event; -1 before the first.
    int64_t lastEventTime_ = -1;
    bool handlerRegistered_ = false;

    SListView* groupList_ = nullptr;
    SMcListView* keyList_ = nullptr;
    STabCtrl* tab_ = nullptr;
    SWindow* repeatEdit_ = nullptr;
    SWindow* delayEdit_ = nullptr;
    std::vector<SWindow*> delayModeButtons_;
    SCheckBox* recordCheck_ = nullptr;
    SCheckBox* singleRecordCheck_ = nullptr;
    SWindow* singleKeyText_ = nullptr;
    SComboBox* mediaKeys_ = nullptr;
    SComboBox* functionKeys_ = nullptr;
    SWindow* recordingLine_ = nullptr;
    SWindow* recordingMark_ = nullptr;
};
