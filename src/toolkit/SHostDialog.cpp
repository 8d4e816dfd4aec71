#include "toolkit/SHostDialog.h"

#include "toolkit/Events.h"

#include <QEventLoop>

SHostDialog::SHostDialog(std::wstring layoutName) : SHostWnd(std::move(layoutName)) {}

SHostDialog::~SHostDialog()
{
    if (loop_) {
        loop_->exit(result_);
    }
}

int SHostDialog::doModal(QWidget* owner)
{
    if (loop_ || !createWindow(owner)) {
        return -1;
    }
    setWindowFlag(Qt::Dialog, true);
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    ended_ = false;
    sendMessage(WM_INITDIALOG);
    if (ended_ || !isWindow()) {
        destroyWindow();
        return result_;
    }
    centerWindow();
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    destroyWindow();
    return result_;
}

void SHostDialog::endDialog(int result)
{
    result_ = result;
    ended_ = true;
    if (loop_) {
        loop_->exit(result);
    }
}

intptr_t SHostDialog::defaultMessage(unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    if (msg == WM_CLOSE) {
        endDialog(IDCANCEL);
        return 0;
    }
    return SHostWnd::defaultMessage(msg, wParam, lParam);
}

void SHostDialog::defaultEvent(EventArgs* event)
{
    if (event->id == EventCmd::kEventId && (event->idFrom == IDOK || event->idFrom == IDCANCEL)) {
        event->handled = true;
        endDialog(event->idFrom);
        return;
    }
    SHostWnd::defaultEvent(event);
}

void SHostDialog::afterDestroy()
{
    // Destroyed while running: the modal loop ends with the result so far.
    if (loop_) {
        loop_->exit(result_);
    }
}
