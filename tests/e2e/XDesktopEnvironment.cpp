// The one QApplication of the test program, on the xcb platform of a private
// X desktop that lives as long as the program.
#include "XDesktopEnvironment.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "XClient.h"
#include "XSession.h"

namespace {

class XDesktopEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(session.start({})) << session.error();
        qputenv("QT_QPA_PLATFORM", "xcb");
        application = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override
    {
        application.reset();
        session.stop();
    }

private:
    XSession session;
    int argc = 1;
    char name[16] = "hook_e2e_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> application;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new XDesktopEnvironment);

}  // namespace

bool pumpUntil(XClient& client, const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    // Sleeps in Qt's event loop, woken by Qt's own events, by the other
    // client's connection and by the deadline, so that no delay is added to
    // what is being waited for.
    QSocketNotifier notifier(client.fd(), QSocketNotifier::Read);
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(timeout);
    while (true) {
        client.pump();
        if (condition()) {
            return true;
        }
        if (!deadline.isActive()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
