#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/StandardWidgets.h"

#include <gtest/gtest.h>

namespace toolkittest {

// The project's resource package.
inline QString packageDir() { return QStringLiteral(MOUSECFG_SOURCE_DIR "/uires"); }
inline QString fixtureDir(const char* name)
{
    return QStringLiteral(MOUSECFG_FIXTURES_DIR "/toolkit/") + QString::fromUtf8(name);
}

// An application object as start-up builds it: standard widgets, named ids,
// optionally a package, the system resources and the UI definitions.
class ToolkitApp : public testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        ASSERT_TRUE(app->registerNamedIds(appNamedIdTable()));
        ASSERT_TRUE(app->loadSystemResources());
    }
    void TearDown() override
    {
        // Widgets deleted later must go before the application object.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }

    // Adds a package directory; returns its provider.
    std::shared_ptr<FileResourceProvider> addPackage(const QString& dir)
    {
        auto provider = std::make_shared<FileResourceProvider>();
        EXPECT_TRUE(provider->init(dir)) << dir.toStdString();
        app->addResourceProvider(provider);
        return provider;
    }
    void addProjectPackage()
    {
        const auto provider = addPackage(packageDir());
        EXPECT_TRUE(provider->errors().empty()) << provider->errors().front().toStdString();
        ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
    }

    std::unique_ptr<SApplication> app;
};

// A package written into a temporary directory: files by relative path, and
// the index made from the (resource, path) pairs.
class TempPackage {
public:
    void add(const QString& resource, const QString& path, const QByteArray& content)
    {
        index_ += resource + QStringLiteral(" = ") + path + QLatin1Char('\n');
        write(path, content);
    }
    void write(const QString& path, const QByteArray& content)
    {
        const QString full = dir_.path() + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString commit()
    {
        write(QStringLiteral("uires.idx"), index_.toUtf8());
        return dir_.path();
    }

private:
    QTemporaryDir dir_;
    QString index_;
};

// Runs the event loop until `done` or about `ms` milliseconds passed.
template <class Pred>
bool waitUntil(Pred&& done, int ms = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace toolkittest
