#include "hid/HidBackend.h"
#include "hid/HidDevice.h"
#include "hid/HidDiscovery.h"
#include "hid/ReportDescriptor.h"
#include "hid/linux/LinuxHidBackend.h"

#include <benchmark/benchmark.h>

#include <array>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const wchar_t* kEchoPath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#echo";

// A device that answers every report with the same 64 bytes, without report id.
class EchoBackend : public HidBackend {
public:
    ~EchoBackend() override
    {
        for (auto& thread : threads_)
            thread.join();
    }

    std::vector<std::wstring> listInterfacePaths() override { return {kEchoPath}; }

    HidInterfaceQuery queryInterface(const std::wstring&) override
    {
        return HidInterfaceQuery{0, HidInterfaceDetails{{0x1a2b, 0x3c4d, 0x0105}, {1, 0xFF00, 65, 65, 0}, false}};
    }

    int openNode(const std::string&, HidNodeAccess) override
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
            return -1;
        threads_.emplace_back([peer = ends[1]] {
            std::array<uint8_t, 65> report{};
            while (true) {
                pollfd fd{peer, POLLIN, 0};
                if (::poll(&fd, 1, -1) != 1)
                    break;
                const ssize_t received = ::recv(peer, report.data(), report.size(), 0);
                if (received <= 1)
                    break;
                if (::send(peer, report.data() + 1, static_cast<size_t>(received - 1), MSG_NOSIGNAL) < 0)
                    break;
            }
            ::close(peer);
        });
        return ends[0];
    }

    int getFeatureReport(int, uint8_t*, size_t) override { return -1; }
    int setFeatureReport(int, const uint8_t*, size_t) override { return -1; }
    std::unique_ptr<HidNoticeSource> openNoticeSource() override { return nullptr; }

private:
    std::vector<std::thread> threads_;
};

void reportRoundTrip(benchmark::State& state)
{
    EchoBackend backend;
    setHidBackend(&backend);
    {
        HidDevice device;
        if (device.openDeviceByPath(HidDevice::kApplicationAccessFlags, kEchoPath) != 1)
            state.SkipWithError("open failed");
        std::array<uint8_t, HidDevice::kReportSize> request{};
        request[0] = 0x07;
        std::array<uint8_t, HidDevice::kReportSize> reply{};
        for (auto _ : state) {
            if (device.writeReport(request) != 65 || device.readReport(reply) != 65)
                state.SkipWithError("transfer failed");
            benchmark::DoNotOptimize(reply);
        }
    }
    setHidBackend(nullptr);
}
BENCHMARK(reportRoundTrip)->Unit(benchmark::kMicrosecond);

void enumerateFixtureTree(benchmark::State& state)
{
    LinuxHidBackend backend(std::string(MOUSECFG_FIXTURES_DIR) + "/sysfs/desktop");
    setHidBackend(&backend);
    for (auto _ : state) {
        HidInterfaceInfo* list = enumerateHidInterfaces(0x1a2b, 0, nullptr, 1, -1);
        benchmark::DoNotOptimize(list);
        freeHidInterfaceList(list);
    }
    setHidBackend(nullptr);
}
BENCHMARK(enumerateFixtureTree)->Unit(benchmark::kMicrosecond);

void parseKeyboardDescriptor(benchmark::State& state)
{
    const std::vector<uint8_t> descriptor = {
        0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00,
        0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0, 0x05, 0x01, 0x09, 0x80, 0xA1,
        0x01, 0x85, 0x02, 0x19, 0x81, 0x29, 0x83, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03,
        0x81, 0x02, 0x95, 0x05, 0x81, 0x01, 0xC0,
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(parseReportDescriptor(descriptor));
}
BENCHMARK(parseKeyboardDescriptor);

}  // namespace

BENCHMARK_MAIN();
