// Shows the gallery layout of a resource package, for looking at it.
//   toolkit_gallery <package dir> [--lang lang_cn] [--grab out.png]
// With --grab the window is drawn into a PNG and the program ends; --steps
// shows the second tab page.
#include "toolkit/AppNamedIds.h"
#include "toolkit/ListAdapter.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/StandardWidgets.h"
#include "toolkit/Translator.h"
#include "toolkit/XmlSource.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Sample rows, so that the lists show something.
class GroupRows : public ListRowAdapter {
public:
    int getCount() override { return 4; }
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override
    {
        if (row->childWindows().empty()) {
            row->createChildrenFromXml(rowTemplate);
        }
        if (SWindow* name = row->findChildByName(L"group_name")) {
            name->setWindowText(L"Group " + std::to_wstring(position));
        }
    }
};

class StepRows : public ListColumnAdapter {
public:
    int getCount() override { return 6; }
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override
    {
        static const wchar_t* const names[] = {L"A", L"B", L"CtrlLeft"};
        if (row->childWindows().empty()) {
            row->createChildrenFromXml(rowTemplate);
        }
        const int key = position / 2;
        row->findChildByName(L"key_code")->setWindowText(std::to_wstring(65 + key));
        row->findChildByName(L"key_name")->setWindowText(names[key % 3]);
        row->findChildByName(L"key_state")->setWindowText(position % 2 ? L"key up" : L"key down");
        row->findChildByName(L"key_delay")->setWindowText(std::to_wstring(position % 2 ? 300 : 120));
    }
    std::wstring getColumnName(int column) const override { return L"col" + std::to_wstring(column + 1); }
};

// The gallery window; the close button ends the program.
class GalleryWindow : public SHostWnd {
public:
    GalleryWindow() : SHostWnd(L"LAYOUT:gallery") {}

    void fillLists()
    {
        if (auto* groups = findChildByName<SListView>(L"macro_group")) {
            groups->setAdapter(&groups_);
            groups->setSel(1);
        }
        if (auto* steps = findChildByName<SMcListView>(L"key_info")) {
            steps->setAdapter(&steps_);
        }
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
    GroupRows groups_;
    StepRows steps_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    const QStringList args = qt.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: toolkit_gallery <package dir> [--lang name] [--grab out.png]\n");
        return 2;
    }
    SApplication app(L"UIHOST", &registerStandardWidgets);
    app.registerNamedIds(appNamedIdTable());
    auto package = std::make_shared<FileResourceProvider>();
    if (!package->init(args[1])) {
        std::fprintf(stderr, "no package at %s\n", qPrintable(args[1]));
        return 1;
    }
    app.addResourceProvider(package);
    app.loadUiDefinitions(L"uidef:xml_init");
    app.applyThemePalette();
    app.loadSystemResources();
    for (const QString& line : app.diagnostics()) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
    }
    const qsizetype lang = args.indexOf(QStringLiteral("--lang"));
    if (lang > 0 && lang + 1 < args.size()) {
        auto manager = std::make_shared<TranslatorManager>();
        app.setTranslatorManager(manager);
        XmlSource document;
        auto translator = std::make_shared<Translator>();
        if (app.loadXml(QStringLiteral("translator:%1").arg(args[lang + 1]).toStdWString(), document) &&
            translator->load(document.document().child("language"))) {
            manager->installTranslator(translator);
        }
    }
    GalleryWindow window;
    if (!window.createWindow()) {
        std::fprintf(stderr, "%s\n", qPrintable(window.layoutErrorText()));
        return 1;
    }
    window.sendMessage(WM_INITDIALOG);
    window.fillLists();
    window.centerWindow();
    window.showWindow(SW_SHOWNORMAL);
    const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
    if (args.contains(QStringLiteral("--steps"))) {
        window.findChildByName<STabCtrl>(L"tab_macro_mode_selection")->setCurSel(1);
    }
    if (grab > 0 && grab + 1 < args.size()) {
        return window.grab().save(args[grab + 1]) ? 0 : 1;
    }
    return app.run(&window);
}
