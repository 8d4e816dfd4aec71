#include "app/SingleInstance.h"

#include "AppFixture.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <future>
#include <thread>

namespace {

const QString kName = QStringLiteral("mousecfg.test.instance");

// Leaves a socket file as a crashed instance would: bound, then closed without unlinking.
void leaveStaleSocket(const std::filesystem::path& path)
{
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(descriptor, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(listen(descriptor, 1), 0);
    close(descriptor);
    ASSERT_TRUE(std::filesystem::exists(path));
}

// A claim made on another thread, as another process would, while this thread runs its loop.
SingleInstance::Claim claimElsewhere(const std::filesystem::path& directory)
{
    auto result = std::async(std::launch::async, [directory] {
        SingleInstance other(directory);
        return other.claim(kName);
    });
    processEventsUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 15000);
    return result.get();
}

class SingleInstanceTest : public testing::Test {
protected:
    TempDir temp_;
    std::filesystem::path directory_ = temp_.path() / "runtime";
};

TEST_F(SingleInstanceTest, FirstStartBecomesPrimaryAndLaterOnesHandOver)
{
    SingleInstance first(directory_);
    ASSERT_EQ(first.claim(kName), SingleInstance::Claim::Primary) << first.failure().toStdString();
    int activations = 0;
    first.setActivationHandler([&] { ++activations; });

    EXPECT_EQ(claimElsewhere(directory_), SingleInstance::Claim::HandedOver);
    ASSERT_TRUE(processEventsUntil([&] { return activations == 1; }));
    EXPECT_EQ(claimElsewhere(directory_), SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(processEventsUntil([&] { return activations == 2; }));
}

TEST_F(SingleInstanceTest, SocketLeftByACrashIsReplaced)
{
    ASSERT_EQ(std::filesystem::create_directories(directory_), true);
    leaveStaleSocket(directory_ / kName.toStdString());
    SingleInstance instance(directory_);
    ASSERT_EQ(instance.claim(kName), SingleInstance::Claim::Primary) << instance.failure().toStdString();
    int activations = 0;
    instance.setActivationHandler([&] { ++activations; });
    EXPECT_EQ(claimElsewhere(directory_), SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(processEventsUntil([&] { return activations == 1; }));
}

TEST_F(SingleInstanceTest, EndedInstanceLeavesTheWayFree)
{
    {
        SingleInstance first(directory_);
        ASSERT_EQ(first.claim(kName), SingleInstance::Claim::Primary);
    }
    SingleInstance second(directory_);
    EXPECT_EQ(second.claim(kName), SingleInstance::Claim::Primary) << second.failure().toStdString();
}

TEST_F(SingleInstanceTest, SimultaneousStartsEndWithExactlyOnePrimary)
{
    constexpr int kStarts = 4;
    std::atomic<int> ready{0};
    std::atomic<int> claimed{0};
    std::vector<std::future<SingleInstance::Claim>> claims;
    for (int i = 0; i < kStarts; ++i) {
        claims.push_back(std::async(std::launch::async, [&] {
            SingleInstance instance(directory_);
            ++ready;
            while (ready < kStarts) {
                std::this_thread::yield();
            }
            const SingleInstance::Claim result = instance.claim(kName);
            // Every instance stays until all have claimed, as running processes would.
            ++claimed;
            while (claimed < kStarts) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return result;
        }));
    }
    int primaries = 0;
    int handedOver = 0;
    for (auto& claim : claims) {
        const SingleInstance::Claim result = claim.get();
        primaries += result == SingleInstance::Claim::Primary ? 1 : 0;
        handedOver += result == SingleInstance::Claim::HandedOver ? 1 : 0;
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_EQ(handedOver, kStarts - 1);
}

TEST_F(SingleInstanceTest, NameWithSlashesStaysInTheDirectory)
{
    SingleInstance instance(directory_);
    ASSERT_EQ(instance.claim(QStringLiteral("a/b/../c")), SingleInstance::Claim::Primary);
    EXPECT_EQ(std::filesystem::path(instance.socketPath().toStdString()).parent_path(), directory_);
}

TEST(ActivateMarkedWindowsTest, ShowsAndRestoresEveryMarkedWindowOnly)
{
    const QByteArray mark = "mousecfg.test.mark";
    QWidget hidden;
    hidden.setProperty(mark.constData(), 1);
    QWidget minimised;
    minimised.setProperty(mark.constData(), 1);
    minimised.showMinimized();
    QWidget unmarked;
    activateMarkedWindows(mark);
    EXPECT_TRUE(hidden.isVisible());
    EXPECT_TRUE(minimised.isVisible());
    EXPECT_FALSE(minimised.isMinimized());
    EXPECT_FALSE(unmarked.isVisible());
}

}  // namespace
