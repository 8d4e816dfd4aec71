// Shows the custom widget gallery of a resource package, for looking at it.
//   widgets_gallery <package dir> [--grab out.png] [--print-points]
// Buttons 0 and 3 of the mouse picture start out assigned. With --grab the
// pointer is placed over button 1, the window is drawn into a PNG and the
// program ends. --print-points writes the screen position of the middle of
// button 1 once the window shows ("button1 x y"), for pointing at it.
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"
#include "ui/widgets/SEditEx.h"
#include "ui/widgets/SSImage.h"

#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/StandardWidgets.h"
#include "toolkit/WindowMessages.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QStringList>

#include <cstdio>

namespace {

class GalleryWindow : public SHostWnd, public ICoordButtonListener {
public:
    GalleryWindow() : SHostWnd(L"LAYOUT:widgets_gallery") {}

    void connectWidgets()
    {
        status_ = findChildByName(L"gallery_status");
        preview_ = findChildByName(L"color_panel_preview");
        if (auto* buttons = findChildByName<CoordButtonImage>(L"img_keyboard")) {
            buttons->setListener(this);
            buttons->setItemSelected(0, true);
            buttons->setItemSelected(3, true);
        }
        if (auto* pad = findChildByName<SSImage>(L"color_panel_pad"))
            pad->setFuncProxy(&padProxy_);
        if (SWindow* edit = findChildByName(L"edit_single_key", L"editex")) {
            edit->subscribeEvent(EventKeyEnter::kEventId, [this](EventArgs* e) {
                show(L"on_key_enter from " + e->nameFrom);
                return true;
            });
        }
    }

    int onCoordButton(int id, const CoordButtonItem& item, int phase, unsigned, int, int) override
    {
        if (phase == 1)
            show(item.name + L" (" + std::to_wstring(id) + L")");
        return 0;
    }

    void onColourPicked(unsigned, int, int, std::uint32_t* colour)
    {
        // The picked colour's bytes are blue, green, red, alpha.
        const std::uint32_t c = *colour;
        const SColorRef rgba = makeColor(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                         static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 24));
        if (preview_)
            preview_->setBackgroundColor(rgba);
        wchar_t text[32];
        std::swprintf(text, 32, L"picked #%02x%02x%02x", colorRed(rgba), colorGreen(rgba), colorBlue(rgba));
        show(text);
    }

protected:
    void onEvent(EventArgs* event) override
    {
        if (event->id == EventCmd::kEventId && event->nameFrom == L"btn_close") {
            event->handled = true;
            destroyWindow();
        }
    }

private:
    void show(const std::wstring& text)
    {
        if (status_)
            status_->setWindowText(text);
    }

    SWindow* status_ = nullptr;
    SWindow* preview_ = nullptr;
    SSImage::FuncProxy<GalleryWindow> padProxy_{this, &GalleryWindow::onColourPicked};
};

} // namespace

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    const QStringList args = qt.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: widgets_gallery <package dir> [--grab out.png]\n");
        return 2;
    }
    SApplication app(L"UIHOST", &registerStandardWidgets);
    registerCustomWidgets(app);
    auto package = std::make_shared<FileResourceProvider>();
    if (!package->init(args[1])) {
        std::fprintf(stderr, "no package at %s\n", qPrintable(args[1]));
        return 1;
    }
    // The coords file is named relative to the directory that holds the package.
    CoordButtonImage::setApplicationDirectory(QDir(args[1]).absoluteFilePath(QStringLiteral("..")).toStdString());
    app.addResourceProvider(package);
    app.loadUiDefinitions(L"uidef:xml_init");
    app.applyThemePalette();
    app.loadSystemResources();
    for (const QString& line : app.diagnostics())
        std::fprintf(stderr, "%s\n", qPrintable(line));

    GalleryWindow window;
    if (!window.createWindow()) {
        std::fprintf(stderr, "%s\n", qPrintable(window.layoutErrorText()));
        return 1;
    }
    for (const LayoutIssue& issue : window.layoutIssues())
        std::fprintf(stderr, "%s\n", qPrintable(issue.text()));
    window.sendMessage(WM_INITDIALOG);
    window.connectWidgets();
    window.centerWindow();
    window.showWindow(SW_SHOWNORMAL);

    if (args.contains(QStringLiteral("--print-points"))) {
        if (auto* buttons = window.findChildByName<CoordButtonImage>(L"img_keyboard")) {
            CoordButtonItem right;
            if (buttons->findItem(1, right)) {
                const QPoint middle = buttons->mapToGlobal(
                    QPoint((right.rect.left + right.rect.right) / 2, (right.rect.top + right.rect.bottom) / 2));
                std::printf("button1 %d %d\n", middle.x(), middle.y());
                std::fflush(stdout);
            }
        }
    }
    const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
    if (grab > 0 && grab + 1 < args.size()) {
        if (auto* buttons = window.findChildByName<CoordButtonImage>(L"img_keyboard")) {
            CoordButtonItem right;
            if (buttons->findItem(1, right)) {
                const QPointF over((right.rect.left + right.rect.right) / 2.0, (right.rect.top + right.rect.bottom) / 2.0);
                QMouseEvent move(QEvent::MouseMove, over, buttons->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                                 Qt::NoModifier);
                QCoreApplication::sendEvent(buttons, &move);
            }
        }
        return window.grab().save(args[grab + 1]) ? 0 : 1;
    }
    return app.run(&window);
}
