#include "toolkit/SMessageBox.h"

#include "toolkit/Events.h"
#include "toolkit/SHostDialog.h"
#include "toolkit/SWindow.h"
#include "toolkit/TextUtil.h"

#include <array>
#include <vector>

namespace {

struct ButtonSpec {
    int id;
    const wchar_t* text;
};

const ButtonSpec kOk{IDOK, L"OK"};
const ButtonSpec kCancel{IDCANCEL, L"Cancel"};
const ButtonSpec kAbort{IDABORT, L"Abort"};
const ButtonSpec kRetry{IDRETRY, L"Retry"};
const ButtonSpec kIgnore{IDIGNORE, L"Ignore"};
const ButtonSpec kYes{IDYES, L"Yes"};
const ButtonSpec kNo{IDNO, L"No"};

std::vector<ButtonSpec> buttonsOf(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {kOk, kCancel};
    case MB_ABORTRETRYIGNORE:
        return {kAbort, kRetry, kIgnore};
    case MB_YESNOCANCEL:
        return {kYes, kNo, kCancel};
    case MB_YESNO:
        return {kYes, kNo};
    case MB_RETRYCANCEL:
        return {kRetry, kCancel};
    default:
        return {kOk};
    }
}

const wchar_t* iconSkinOf(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return L"_sys.msgicon.error";
    case MB_ICONQUESTION:
        return L"_sys.msgicon.question";
    case MB_ICONWARNING:
        return L"_sys.msgicon.warning";
    case MB_ICONINFORMATION:
        return L"_sys.msgicon.info";
    default:
        return nullptr;
    }
}

constexpr std::array<const wchar_t*, 3> kButtonNames = {L"button1st", L"button2nd", L"button3rd"};

class MessageBoxDialog : public SHostDialog {
public:
    MessageBoxDialog(std::wstring text, std::wstring caption, unsigned type)
        : SHostDialog(L"LAYOUT:SYS_XML_MSGBOX"),
          text_(std::move(text)),
          caption_(std::move(caption)),
          type_(type),
          buttons_(buttonsOf(type))
    {
    }

    const wchar_t* objectClassName() const override { return L"messagebox"; }

protected:
    bool handleMessage(unsigned msg, uintptr_t, intptr_t, intptr_t& result) override
    {
        if (msg == WM_INITDIALOG) {
            fill();
            result = 0;
            return true;
        }
        if (msg == WM_CLOSE) {
            result = 0;
            if (hasButton(IDCANCEL)) {
                endDialog(IDCANCEL);
            } else if ((type_ & MB_TYPEMASK) == MB_OK) {
                endDialog(IDOK);
            }
            return true;
        }
        return false;
    }

    void onEvent(EventArgs* event) override
    {
        if (event->id != EventCmd::kEventId) {
            return;
        }
        for (size_t i = 0; i < kButtonNames.size() && i < buttons_.size(); ++i) {
            if (event->nameFrom == kButtonNames[i]) {
                event->handled = true;
                endDialog(buttons_[i].id);
                return;
            }
        }
    }

private:
    bool hasButton(int id) const
    {
        for (const ButtonSpec& b : buttons_) {
            if (b.id == id) {
                return true;
            }
        }
        return false;
    }

    void fill()
    {
        setWindowTitle(toQString(caption_));
        if (SWindow* title = findChildByName(L"msgtitle")) {
            title->setWindowText(caption_);
        }
        if (SWindow* body = findChildByName(L"msgtext")) {
            body->setWindowText(text_);
        }
        if (SWindow* icon = findChildByName(L"msgicon")) {
            const wchar_t* skin = iconSkinOf(type_);
            icon->setSkin(skin ? SWindow::skinByName(skin) : nullptr);
            icon->setWindowVisible(skin != nullptr);
        }
        for (size_t i = 0; i < kButtonNames.size(); ++i) {
            SWindow* button = findChildByName(kButtonNames[i]);
            if (!button) {
                continue;
            }
            const bool used = i < buttons_.size();
            button->setWindowVisible(used);
            if (used) {
                button->setWindowText(toWString(button->translate(toQString(buttons_[i].text))));
            }
        }
    }

    std::wstring text_;
    std::wstring caption_;
    unsigned type_;
    std::vector<ButtonSpec> buttons_;
};

}  // namespace

int SMessageBox(QWidget* parent, const std::wstring& text, const std::wstring& caption, unsigned type)
{
    MessageBoxDialog dialog(text, caption, type);
    return dialog.doModal(parent);
}
