#pragma once

#include "toolkit/SHostWnd.h"

class QEventLoop;

// A modal host dialog ("hostdialog"). doModal() builds the window, sends
// WM_INITDIALOG, shows it modal to its owner and runs a nested event loop
// until endDialog(); it returns the result code. The UI thread keeps
// dispatching meanwhile. A dialog that cannot be built returns -1.
//
// Default handling: WM_CLOSE ends with IDCANCEL; a command event of a widget
// whose id is IDOK or IDCANCEL ends with that id.
class SHostDialog : public SHostWnd {
public:
    explicit SHostDialog(std::wstring layoutName);
    ~SHostDialog() override;

    const wchar_t* objectClassName() const override { return L"hostdialog"; }
    bool isObjectClass(std::wstring_view name) const override
    {
        return name == L"hostdialog" || SHostWnd::isObjectClass(name);
    }

    int doModal(QWidget* owner = nullptr);
    void endDialog(int result);
    bool isRunning() const { return loop_ != nullptr; }

protected:
    intptr_t defaultMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
    void defaultEvent(EventArgs* event) override;
    void afterDestroy() override;

private:
    QEventLoop* loop_ = nullptr;
    bool ended_ = false;
    int result_ = IDCANCEL;
};
