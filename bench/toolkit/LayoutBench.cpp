// Load and first paint of a layout of about 300 widgets, offscreen.
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SWindow.h"
#include "toolkit/StandardWidgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 30;  // ten widgets a row, plus the row itself

QByteArray layoutOfRows()
{
    QByteArray xml = "<host size=\"900,1100\" layout=\"vbox\" padding=\"8\" spacing=\"4\" colorBkgnd=\"#13161b\" colorText=\"#e8ebf0\">\n";
    for (int r = 0; r < kRows; ++r) {
        xml += "  <window layout=\"hbox\" spacing=\"6\" height=\"32\">\n"
               "    <text text=\"Row label\" width=\"80\"/>\n"
               "    <button text=\"Apply\" width=\"70\"/>\n"
               "    <imgbtn skin=\"_sys.button\" size=\"28,28\"/>\n"
               "    <check text=\"On\"/>\n"
               "    <radio text=\"A\"/>\n"
               "    <edit text=\"12\" width=\"70\"/>\n"
               "    <combobox width=\"110\"><item text=\"One\"/><item text=\"Two\"/><item text=\"Three\"/></combobox>\n"
               "    <sliderbar min=\"0\" max=\"100\" value=\"40\" weight=\"1\"/>\n"
               "    <window size=\"24,24\" colorBkgnd=\"#1fd0f8\" radius=\"4\"/>\n"
               "    <text name=\"value_" + QByteArray::number(r) + "\" text=\"40\" width=\"40\"/>\n"
               "  </window>\n";
    }
    return xml + "</host>\n";
}

void BM_LoadAndFirstPaint(benchmark::State& state)
{
    QTemporaryDir dir;
    QFile layout(dir.path() + QStringLiteral("/rows.xml"));
    layout.open(QIODevice::WriteOnly);
    layout.write(layoutOfRows());
    layout.close();
    QFile index(dir.path() + QStringLiteral("/uires.idx"));
    index.open(QIODevice::WriteOnly);
    index.write("LAYOUT:rows = rows.xml\n");
    index.close();

    SApplication app(L"UIHOST", &registerStandardWidgets);
    app.registerNamedIds(appNamedIdTable());
    app.loadSystemResources();
    auto package = std::make_shared<FileResourceProvider>();
    package->init(dir.path());
    app.addResourceProvider(package);

    int widgets = 0;
    for (auto _ : state) {
        auto host = std::make_unique<SHostWnd>(L"LAYOUT:rows");
        if (!host->createWindow()) {
            state.SkipWithError("layout did not load");
            break;
        }
        host->show();
        // What the event loop does before the first frame: polish and lay out.
        QCoreApplication::sendPostedEvents();
        QImage frame(host->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&frame);
        host->render(&painter);
        painter.end();
        benchmark::DoNotOptimize(frame.bits());

        state.PauseTiming();
        widgets = 0;
        host->root()->forEachDescendant([&](SWindow&) { ++widgets; });
        host.reset();
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    state.counters["widgets"] = widgets;
}
BENCHMARK(BM_LoadAndFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace
