#include "ui/hook/KeyboardHookBackend.h"

#include <QGuiApplication>

#include "ui/hook/OwnWindowKeyBackend.h"
#include "ui/hook/X11KeyGrabBackend.h"

KeyboardHookBackends createPlatformKeyboardHookBackends()
{
    KeyboardHookBackends backends;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        backends.desktop = std::make_unique<X11KeyGrabBackend>();
    }
    backends.ownWindows = std::make_unique<OwnWindowKeyBackend>();
    return backends;
}
