#pragma once

#include <QObject>

#include "ui/hook/KeyboardHookBackend.h"

class QKeyEvent;

// The keyboard hook's source where no desktop-wide one exists (Wayland, the
// offscreen platform, or X11 while another program holds the keyboard): an
// application-wide event filter that offers the keys typed into this
// application's own windows to the chain and keeps swallowed keys from the
// widget they were meant for. Keys typed into other programs are not seen.
class OwnWindowKeyBackend : public QObject, public IKeyboardHookBackend {
public:
    bool install() override;
    bool remove() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool offer(const QKeyEvent& key);

    bool installed_ = false;
    // Qt offers a key event again to each parent it propagates to; the
    // chain sees it once.
    const QKeyEvent* lastEvent_ = nullptr;
    unsigned long lastTimestamp_ = 0;
    bool lastSwallowed_ = false;
};
