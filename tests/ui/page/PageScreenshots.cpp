// Renders the mouse settings page in each of the ten light-effect states, at
// 100 % and 200 %, and the factory-restore confirmation, into PNG files:
// page_screenshots <output directory>.

#include "PageHost.h"

#include "shape/Channels.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/StandardWidgets.h"
#include "ui/MouseUi.h"
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

void runEventsFor(std::chrono::milliseconds time)
{
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

QImage render(QWidget& widget, qreal scale)
{
    QImage image(widget.size() * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

// A click on the factory-restore button; the confirmation it opens is
// rendered into `file` and closed again (which cancels the restore).
bool renderRestoreConfirmation(PageHost& host, const QString& file)
{
    bool saved = false;
    QTimer::singleShot(300, [&saved, &file] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            saved = render(*box, 1.0).save(file);
            box->close();
        }
    });
    SWindow* button = host.findChildByName(L"btn_mouse_restore_factory");
    if (button == nullptr) {
        return false;
    }
    EventCmd click;
    click.sender = button;
    click.nameFrom = button->name();
    click.idFrom = button->id();
    button->fireEvent(click);
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: page_screenshots <output directory>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    SApplication app(L"UIHOST", &registerStandardWidgets);
    registerCustomWidgets(app);
    app.registerNamedIds(appNamedIdTable());
    for (const char* directory : {MOUSECFG_SOURCE_DIR "/uires", MOUSECFG_FIXTURES_DIR "/page"}) {
        auto provider = std::make_shared<FileResourceProvider>();
        if (!provider->init(QString::fromUtf8(directory))) {
            std::fprintf(stderr, "no resource index in %s\n", directory);
            return 1;
        }
        app.addResourceProvider(provider);
    }
    app.loadUiDefinitions(L"UIDEF:XML_INIT");
    app.applyThemePalette();
    app.loadSystemResources();
    CoordButtonImage::setApplicationDirectory(MOUSECFG_SOURCE_DIR);

    // The device side: what a connected mouse would have published.
    LightEffectIndexShape effect;
    DpiShape dpi;
    LightShape light;
    StatusBytesShape status;
    PageHost host;
    if (!host.createWindow()) {
        std::fprintf(stderr, "%s\n", host.layoutErrorText().toStdString().c_str());
        return 1;
    }
    host.page.initPage(host.root(), &host);
    host.resize(924, 520);
    host.show();

    DpiDat stage;
    stage.level = 4;
    stage.red = 0x1f;
    stage.green = 0xd0;
    stage.blue = 0xf8;
    dpi.setCurrentValue(stage, 0, false, false);
    LightDat lighting;
    lighting.color_index = 1;
    lighting.brightness = 3;
    lighting.speed = 2;
    light.setCurrentValue(lighting, 0, false, false);
    const unsigned char assigned[6] = {0, 1, 0, 1, 0, 0};
    status.setArray(assigned, 6, 0, false, false);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int index = 0; index < 10; ++index) {
        effect.setCurrentValue(index, 0, false, false);
        runEventsFor(std::chrono::milliseconds(150));
        for (const qreal scale : {1.0, 2.0}) {
            const QString file =
                out.filePath(QStringLiteral("page_effect%1%2.png").arg(index).arg(scale > 1 ? "@2x" : ""));
            if (!render(host, scale).save(file)) {
                std::fprintf(stderr, "cannot write %s\n", file.toStdString().c_str());
                return 1;
            }
        }
    }
    const QString confirmation = out.filePath(QStringLiteral("confirm_factory_restore.png"));
    if (!renderRestoreConfirmation(host, confirmation)) {
        std::fprintf(stderr, "cannot write %s\n", confirmation.toStdString().c_str());
        return 1;
    }
    return 0;
}
