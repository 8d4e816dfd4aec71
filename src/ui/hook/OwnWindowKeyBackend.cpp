#include "ui/hook/OwnWindowKeyBackend.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#include "ui/KeyCodes.h"

namespace {

// X11 and Wayland report the X keycode (evdev code + 8) as native scan code.
bool nativeCodesAreX11Keycodes()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

bool numLockOf(const QKeyEvent& key)
{
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    const int k = key.key();
    return keypad && ((k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Period || k == Qt::Key_Comma);
}

std::optional<KeyHookEvent> hookEventOf(const QKeyEvent& key)
{
    const bool release = key.type() == QEvent::KeyRelease;
    const int native = static_cast<int>(key.nativeScanCode());
    if (native > kX11EvdevKeycodeOffset && nativeCodesAreX11Keycodes()) {
        if (auto event = keyEventOfEvdev(native - kX11EvdevKeycodeOffset, numLockOf(key), release)) {
            return event;
        }
    }
    return keyEventOfQtKey(key.key(), key.modifiers() & Qt::KeypadModifier, release);
}

}  // namespace

bool OwnWindowKeyBackend::install()
{
    if (!installed_) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) {
            return false;
        }
        app->installEventFilter(this);
        installed_ = true;
    }
    return true;
}

bool OwnWindowKeyBackend::remove()
{
    if (installed_) {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            app->removeEventFilter(this);
        }
        installed_ = false;
        lastEvent_ = nullptr;
    }
    return true;
}

bool OwnWindowKeyBackend::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType()) {
        return offer(static_cast<const QKeyEvent&>(*event));
    }
    return QObject::eventFilter(watched, event);
}

bool OwnWindowKeyBackend::offer(const QKeyEvent& key)
{
    if (&key == lastEvent_ && key.timestamp() == lastTimestamp_) {
        return lastSwallowed_;
    }
    // An auto-repeated key sends releases between its presses; the key is
    // still held, so only the presses are offered.
    if (key.isAutoRepeat() && key.type() == QEvent::KeyRelease) {
        return false;
    }
    bool swallowed = false;
    if (const std::optional<KeyHookEvent> hookEvent = hookEventOf(key)) {
        KeyHookEvent stamped = *hookEvent;
        stamped.time = static_cast<uint32_t>(key.timestamp());
        const Qt::KeyboardModifiers mods = key.modifiers();
        const bool alt = (mods & Qt::AltModifier) || key.key() == Qt::Key_Alt;
        const unsigned message =
            keyMessageOf(key.type() == QEvent::KeyRelease, alt, mods & Qt::ControlModifier);
        swallowed = offerKeyToChain(HC_ACTION, message, stamped);
    }
    lastEvent_ = &key;
    lastTimestamp_ = key.timestamp();
    lastSwallowed_ = swallowed;
    return swallowed;
}
