#pragma once

#include "config/ProfileStore.h"
#include "shape/Channels.h"
#include "toolkit/Color.h"
#include "ui/widgets/ICoordButtonListener.h"
#include "ui/widgets/SSImage.h"

#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ButtonTooltip;
class CoordButtonImage;
class EventArgs;
class SComboBox;
class SHostWnd;
class SSliderBar;
class SWindow;

// Controller of the mouse settings page ("LAYOUT:mouse"). It shows what the
// device logic reads from the mouse and turns the user's changes into writes
// on the shared channels; it never calls the device logic. The main window
// owns one, calls initPage once its widget tree exists and offers it every
// widget event first. Every callback of its values runs on the UI thread.
class MouseUi : public ICoordButtonListener {
public:
    // Shows the assignment editor modally on `profile` for the buttons in
    // `buttonNames` (by code); returns the editor's result.
    using AssignmentEditor =
        std::function<int(ProfileGroup& profile, const std::map<int, std::wstring>& buttonNames, SHostWnd* parent)>;
    // Asks the user to confirm; returns the id of the button pressed.
    using Confirmation = std::function<int(SHostWnd* parent, const std::wstring& text, const std::wstring& caption)>;

    static constexpr int kDeleteResult = 65576;  // the editor's "btnDelete": back to the button's own function

    MouseUi();
    ~MouseUi() override;
    MouseUi(const MouseUi&) = delete;
    MouseUi& operator=(const MouseUi&) = delete;

    // Called once, after the window's widget tree exists.
    void initPage(SWindow* root, SHostWnd* window);
    // True when the page took the event (it is then marked handled).
    bool onEvent(EventArgs* event);

    // A press (phase 0) or release (phase 1) on a button of the mouse picture;
    // the release opens the assignment editor. Always 0.
    int onCoordButton(int code, const CoordButtonItem& item, int phase, unsigned keyFlags, int x, int y) override;

    // What the picture's tooltip tells about a button: what it is assigned to.
    std::wstring buttonTooltip(const CoordButtonItem& item) const;

    // Tells the user that something failed (an error box by default).
    using Notice = std::function<void(SHostWnd* parent, const std::wstring& text, const std::wstring& caption)>;

    // Replace the modal editor, the confirmation box and the notice (tests drive them).
    void setAssignmentEditor(AssignmentEditor editor) { editor_ = std::move(editor); }
    void setConfirmation(Confirmation confirmation) { confirmation_ = std::move(confirmation); }
    void setNotice(Notice notice) { notice_ = std::move(notice); }

    FactoryRestoreShape& factoryRestoreRequest() { return factoryRestore_; }

private:
    // Saves the mouse profile; the first failure after a good save is told with its reason.
    void saveMouseProfile(ProfileStore& store);
    // Tells, once per process, that the profile file could not be read at start-up.
    void tellUnreadableProfile(ProfileStore& store);
    QString translate(const char* text) const;

    // Callbacks of the shared values.
    void onModeChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t, int);
    void onEffectIndexChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t, int param);
    void onDpiStageChanged(int, const int* values, uint32_t length, uint32_t, uint32_t, uint32_t, int);
    void onLightChanged(int, const LightDat* values, uint32_t length, uint32_t, uint32_t, uint32_t, int);
    void onDpiChanged(int, const DpiDat* values, uint32_t length, uint32_t, uint32_t, uint32_t, int);
    void onStatusChanged(int, const unsigned char* values, uint32_t length, uint32_t, uint32_t, uint32_t, int);

    bool onComboChanged(EventArgs* event);
    bool onCommand(EventArgs* event);
    bool onSlider(EventArgs* event);

    // Colour pads and preset buttons.
    void onLightPadColour(unsigned keyFlags, int x, int y, std::uint32_t* colour);
    void onDpiPadColour(unsigned keyFlags, int x, int y, std::uint32_t* colour);
    void applyLightColour(SColorRef colour, size_t area, bool showComponents);
    void applyDpiColour(SColorRef colour);

    void restoreFactorySettings();
    void showEffectGroups(int effectIndex);
    void showDpiValue(int32_t level);

    template <class T>
    T* find(const wchar_t* name) const;

    ButtonAssignmentShape assignment_;
    StatusBytesShape status_;
    ModeShape mode_;
    LightEffectIndexShape effectIndex_;
    DpiStageShape dpiStage_;
    LightShape light_;
    DpiShape dpi_;
    DpiBrightnessShape dpiBrightness_;
    FactoryRestoreShape factoryRestore_;
    FuncKeyListShape funcKeys_;
    CombKeyListShape combKeys_;

    SWindow* root_ = nullptr;
    SHostWnd* window_ = nullptr;
    AssignmentEditor editor_;
    Confirmation confirmation_;
    Notice notice_;
    bool saveFailureTold_ = false;  // a failed save is told once, until a save works again

    QPointer<CoordButtonImage> picture_;
    QPointer<SComboBox> modeCombo_;
    QPointer<SComboBox> effectCombo_;
    QPointer<SComboBox> dpiStageCombo_;
    QPointer<SSliderBar> speedBar_;
    QPointer<SSliderBar> brightnessBar_;
    QPointer<SSliderBar> dpiLevelBar_;
    QPointer<SSliderBar> dpiBrightnessBar_;
    QPointer<SWindow> dpiValueText_;
    std::vector<QPointer<SWindow>> colourRadios_;
    std::vector<QPointer<SWindow>> leftRightRadios_;
    std::vector<QPointer<SWindow>> splitMergeRadios_;
    std::vector<QPointer<SWindow>> effectGroups_;

    // One colour panel: pad, preview and the three component edits.
    struct ColourPanel {
        QPointer<SSImage> pad;
        QPointer<SWindow> preview;
        std::array<QPointer<SWindow>, 3> components;
        std::unique_ptr<SSImage::FuncProxy<MouseUi>> proxy;
    };
    ColourPanel lightPanel_;
    ColourPanel dpiPanel_;
    std::unique_ptr<ButtonTooltip> tooltip_;
};
