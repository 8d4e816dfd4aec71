#pragma once

#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// An application directory like a portable copy: the source tree's resource
// package beside a config.xml written for the test.
inline std::filesystem::path makeAppDirectory(const TempDir& temp, const std::string& language,
                                              const std::string& usb = "vid=\"1A2B\" pid=\"3C4D\" interface=\"1\" subdevice=\"-1\"")
{
    const std::filesystem::path directory = temp.path() / "app";
    std::filesystem::create_directories(directory);
    std::filesystem::create_directory_symlink(std::filesystem::path(MOUSECFG_SOURCE_DIR) / "uires", directory / "uires");
    std::ofstream config(directory / "config.xml");
    config << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           << "<local language=\"" << language << "\" />\n"
           << "<usb " << usb << " />\n"
           << "<funkey><key name=\"Mute\" code=\"226\" /></funkey>\n";
    return directory;
}

// Runs the event loop until `done` holds or `timeoutMs` passed; the result of `done`.
inline bool processEventsUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds.
inline void processEventsFor(int ms)
{
    processEventsUntil([] { return false; }, ms);
}
