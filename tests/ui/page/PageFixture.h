#pragma once

// The mouse settings page in a host window of its own, built from the real
// resource package, with the device side of every channel beside it: values
// of the same channels whose callbacks record what reaches them, and writes
// that reach the page the way the device logic's do.

#include "PageHost.h"
#include "UserEvents.h"

#include "config/ProfileStore.h"
#include "shape/Channels.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SWindow.h"
#include "toolkit/StandardWidgets.h"
#include "ui/MouseUi.h"
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pagetest {

// Runs the UI thread's events until `done` holds or the time is up.
inline bool processEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds limit = std::chrono::milliseconds(3000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Lets queued deliveries run for a while (to show that nothing arrives).
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(100))
{
    processEventsUntil([] { return false; }, time);
}

// What reached one device-side value: its first element and the writer's param.
template <class T>
struct Arrival {
    T value;
    int param;
};

// One device-side value of a channel that records every delivery.
template <class Shape>
class DeviceValue {
public:
    using T = typename Shape::Element;
    DeviceValue() { shape.bind(this, &DeviceValue::onChanged, false); }

    std::vector<Arrival<T>> arrivals() const
    {
        std::lock_guard guard(lock_);
        return arrivals_;
    }
    bool waitArrivals(size_t count) const
    {
        return processEventsUntil([&] { return arrivals().size() >= count; });
    }
    Arrival<T> last() const
    {
        const auto all = arrivals();
        return all.empty() ? Arrival<T>{T{}, -1} : all.back();
    }

    Shape shape;

private:
    void onChanged(int, const T* values, uint32_t length, uint32_t, uint32_t, uint32_t, int param)
    {
        if (length == 0) {
            return;
        }
        std::lock_guard guard(lock_);
        arrivals_.push_back(Arrival<T>{values[0], param});
    }

    mutable std::mutex lock_;
    std::vector<Arrival<T>> arrivals_;
};

// The device side of the page's channels.
struct DeviceSide {
    DeviceValue<ModeShape> mode;
    DeviceValue<LightEffectIndexShape> effectIndex;
    DeviceValue<DpiStageShape> dpiStage;
    DeviceValue<LightShape> light;
    DeviceValue<DpiShape> dpi;
    DeviceValue<DpiBrightnessShape> dpiBrightness;
    DeviceValue<FactoryRestoreShape> factoryRestore;
    DeviceValue<StatusBytesShape> status;
    DeviceValue<ButtonAssignmentShape> assignment;
};

class PageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(profileDir.isValid());
        app = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        registerCustomWidgets(*app);
        ASSERT_TRUE(app->registerNamedIds(appNamedIdTable()));
        for (const char* directory : {MOUSECFG_SOURCE_DIR "/uires", MOUSECFG_FIXTURES_DIR "/page"}) {
            auto provider = std::make_shared<FileResourceProvider>();
            ASSERT_TRUE(provider->init(QString::fromUtf8(directory))) << directory;
            app->addResourceProvider(provider);
        }
        ASSERT_TRUE(app->loadUiDefinitions(L"UIDEF:XML_INIT"));
        app->loadSystemResources();
        CoordButtonImage::setApplicationDirectory(MOUSECFG_SOURCE_DIR);

        ProfileStore& store = mouseProfileStore();
        store.groups.clear();
        store.sel = 0;
        store.keepUnreadableFile = false;
        store.unreadableReason.clear();
        store.fileName = kMouseProfileFileName;
        store.directory = profileDir.path().toStdString();

        configureKeyLists();
    }

    void TearDown() override
    {
        host.reset();
        device.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }

    // The function and combination keys of the configuration, set before the page exists.
    virtual void configureKeyLists() {}

    // Builds the window and initialises the page.
    void openPage(const std::function<void(MouseUi&)>& prepare = {})
    {
        device = std::make_unique<DeviceSide>();
        host = std::make_unique<PageHost>();
        ASSERT_TRUE(host->createWindow()) << host->layoutErrorText().toStdString();
        if (prepare) {
            prepare(host->page);
        }
        host->page.initPage(host->root(), host.get());
    }

    SWindow* widget(const wchar_t* name) const
    {
        SWindow* found = host->findChildByName(name);
        EXPECT_NE(found, nullptr) << "no widget " << QString::fromStdWString(name).toStdString();
        return found;
    }
    template <class T>
    T* widget(const wchar_t* name) const
    {
        T* found = host->findChildByName<T>(name);
        EXPECT_NE(found, nullptr) << "no " << QString::fromWCharArray(T::kClassTag).toStdString() << " "
                                  << QString::fromStdWString(name).toStdString();
        return found;
    }
    std::wstring textOf(const wchar_t* name) const
    {
        const SWindow* found = widget(name);
        return found ? found->windowText() : L"<missing>";
    }

    // A click on a widget, a slider moved to `position`, item `index` of a
    // combo box chosen, as the toolkit reports them.
    void command(const wchar_t* name)
    {
        SWindow* sender = widget(name);
        ASSERT_NE(sender, nullptr);
        fireClick(*sender);
    }
    void slide(const wchar_t* name, int position)
    {
        SWindow* sender = widget(name);
        ASSERT_NE(sender, nullptr);
        fireSlide(*sender, position);
    }
    void choose(const wchar_t* name, int index)
    {
        SWindow* sender = widget(name);
        ASSERT_NE(sender, nullptr);
        fireChoice(*sender, index);
    }

    QTemporaryDir profileDir;
    std::unique_ptr<SApplication> app;
    std::unique_ptr<DeviceSide> device;
    std::unique_ptr<PageHost> host;
};

}  // namespace pagetest
