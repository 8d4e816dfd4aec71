#include "app/AppDirectories.h"
#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/SimulatedMouseSession.h"
#include "app/Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

#ifndef MOUSECFG_VERSION
#error "MOUSECFG_VERSION must be defined by the build"
#endif
#ifndef MOUSECFG_INSTALLED_DATA_DIR
#error "MOUSECFG_INSTALLED_DATA_DIR must be defined by the build"
#endif

int main(int argc, char** argv)
{
    const CommandLineOptions options = parseCommandLine(std::span<const char* const>(argv + 1, argc > 0 ? argc - 1 : 0));
    if (!options.error.empty()) {
        std::fprintf(stderr, "mousecfg: %s (try --help)\n", options.error.c_str());
        return 2;
    }
    if (options.showHelp) {
        std::fputs(commandLineHelp("mousecfg").c_str(), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("mousecfg %s\n", MOUSECFG_VERSION);
        return 0;
    }
    if (options.trace) {
        setenv("MOUSECFG_TRACE", "1", 1);
    }

    const std::filesystem::path executableDir = executableDirectory();
    const std::filesystem::path installedDataDir = executableDir / MOUSECFG_INSTALLED_DATA_DIR;
    const std::optional<AppDirectories> directories =
        resolveAppDirectories(executableDir, installedDataDir, currentUserEnvironment());
    if (!directories) {
        std::fprintf(stderr, "mousecfg: resource package not found: no \"uires\" directory in %s or in %s\n",
                     executableDir.c_str(), installedDataDir.lexically_normal().c_str());
        return 1;
    }
    if (const std::optional<std::string> problem = displayProblem()) {
        std::fprintf(stderr, "mousecfg: %s\n", problem->c_str());
        return 1;
    }

    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mousecfg"));
    QApplication::setApplicationVersion(QStringLiteral(MOUSECFG_VERSION));
    // Hidden in the tray, the window is the only one: its end is the application's end.
    QApplication::setQuitOnLastWindowClosed(false);

    AppStartup startup(*directories);
    if (!startup.prepare()) {
        std::fprintf(stderr, "mousecfg: %s\n", startup.error().c_str());
        return 1;
    }
    switch (startup.claimInstance()) {
    case SingleInstance::Claim::HandedOver:
        return 0;
    case SingleInstance::Claim::Failed:
        std::fprintf(stderr, "mousecfg: %s\n", startup.error().c_str());
        return 1;
    case SingleInstance::Claim::Primary:
        break;
    }
    std::optional<SimulatedMouseSession> simulation;
    if (options.simulate) {
        simulation.emplace(startup.deviceConfig());
    }
    const int exitCode = startup.runMainWindow(CMainDlg::Options{.simulatedMouse = options.simulate});
    if (!startup.error().empty()) {
        std::fprintf(stderr, "mousecfg: %s\n", startup.error().c_str());
    }
    return exitCode;
}
