#include "sim/SimulatedHidBackend.h"

#include "hid/HidPath.h"

#include <cerrno>
#include <charconv>
#include <deque>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr std::string_view kNodePrefix = "sim:";
// Report lengths count the report-ID byte.
constexpr std::uint16_t kReportByteLength = kMouseReportSize + 1;

std::wstring pathOfMouse(const SimulatedMouseIdentity& identity, std::size_t index)
{
    return formatHidDevicePath(HidPathIds{identity.vendorId, identity.productId, identity.interfaceNumber, identity.collectionNumber},
                               std::string(kNodePrefix) + std::to_string(index));
}

} // namespace

// Notices for one source: a queue plus an eventfd that is readable while the
// queue may hold something.
struct SimulatedHidBackend::NoticeQueue {
    std::mutex mutex;
    std::deque<HidNotice> notices;
    int eventDescriptor = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);

    ~NoticeQueue()
    {
        if (eventDescriptor >= 0)
            ::close(eventDescriptor);
    }

    void push(const HidNotice& notice)
    {
        std::lock_guard lock(mutex);
        notices.push_back(notice);
        while (::eventfd_write(eventDescriptor, 1) != 0 && errno == EINTR) {
        }
    }

    std::optional<HidNotice> pop()
    {
        std::lock_guard lock(mutex);
        if (notices.empty()) {
            eventfd_t value;
            while (::eventfd_read(eventDescriptor, &value) == 0) {
            }
            return std::nullopt;
        }
        HidNotice notice = std::move(notices.front());
        notices.pop_front();
        return notice;
    }
};

namespace {

class SimulatedNoticeSource final : public HidNoticeSource {
public:
    explicit SimulatedNoticeSource(std::shared_ptr<SimulatedHidBackend::NoticeQueue> queue)
        : queue_(std::move(queue))
    {
    }

    int fd() const override { return queue_->eventDescriptor; }
    std::optional<HidNotice> nextNotice() override { return queue_->pop(); }

private:
    std::shared_ptr<SimulatedHidBackend::NoticeQueue> queue_;
};

} // namespace

SimulatedHidBackend::~SimulatedHidBackend()
{
    std::lock_guard lock(miceMutex_);
    mice_.clear();
}

SimulatedMouse& SimulatedHidBackend::addMouse(const SimulatedMouseIdentity& identity)
{
    std::lock_guard lock(miceMutex_);
    const std::wstring path = pathOfMouse(identity, mice_.size());
    SimulatedMouse& mouse = *mice_.emplace_back(std::make_unique<SimulatedMouse>(identity));
    publish(HidNotice{true, path});
    mouse.setPresenceListener([this, path](bool present) { publish(HidNotice{present, path}); });
    return mouse;
}

std::wstring SimulatedHidBackend::pathOf(const SimulatedMouse& mouse) const
{
    std::lock_guard lock(miceMutex_);
    for (std::size_t i = 0; i < mice_.size(); ++i)
        if (mice_[i].get() == &mouse)
            return pathOfMouse(mouse.identity(), i);
    return {};
}

std::vector<std::wstring> SimulatedHidBackend::listInterfacePaths()
{
    std::vector<std::wstring> paths;
    std::lock_guard lock(miceMutex_);
    for (std::size_t i = 0; i < mice_.size(); ++i)
        if (mice_[i]->isPlugged())
            paths.push_back(pathOfMouse(mice_[i]->identity(), i));
    return paths;
}

HidInterfaceQuery SimulatedHidBackend::queryInterface(const std::wstring& path)
{
    HidInterfaceQuery query;
    SimulatedMouse* mouse = mouseOfNode(hidPathNode(path));
    if (mouse == nullptr)
        return query;
    // Like the real query, it opens the node to read the details.
    query.handle = mouse->open();
    if (query.handle < 0)
        return query;
    ::close(query.handle);
    const SimulatedMouseIdentity& identity = mouse->identity();
    query.details = HidInterfaceDetails{
        HidAttributes{identity.vendorId, identity.productId, identity.releaseNumber},
        HidCaps{kUsage, kUsagePage, kReportByteLength, kReportByteLength, 0}};
    return query;
}

int SimulatedHidBackend::openNode(const std::string& node, HidNodeAccess)
{
    SimulatedMouse* mouse = mouseOfNode(node);
    if (mouse == nullptr) {
        errno = ENOENT;
        return -1;
    }
    return mouse->open();
}

int SimulatedHidBackend::getFeatureReport(int, uint8_t*, size_t)
{
    errno = EPIPE;
    return -1;
}

int SimulatedHidBackend::setFeatureReport(int, const uint8_t*, size_t)
{
    errno = EPIPE;
    return -1;
}

std::unique_ptr<HidNoticeSource> SimulatedHidBackend::openNoticeSource()
{
    auto queue = std::make_shared<NoticeQueue>();
    if (queue->eventDescriptor < 0)
        return nullptr;
    std::lock_guard lock(noticeMutex_);
    noticeQueues_.push_back(queue);
    return std::make_unique<SimulatedNoticeSource>(std::move(queue));
}

SimulatedMouse* SimulatedHidBackend::mouseOfNode(const std::string& node) const
{
    if (!node.starts_with(kNodePrefix))
        return nullptr;
    const std::string_view digits = std::string_view(node).substr(kNodePrefix.size());
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return nullptr;
    std::lock_guard lock(miceMutex_);
    return index < mice_.size() ? mice_[index].get() : nullptr;
}

void SimulatedHidBackend::publish(const HidNotice& notice)
{
    std::lock_guard lock(noticeMutex_);
    std::erase_if(noticeQueues_, [](const std::weak_ptr<NoticeQueue>& queue) { return queue.expired(); });
    for (const std::weak_ptr<NoticeQueue>& weakQueue : noticeQueues_)
        if (const auto queue = weakQueue.lock())
            queue->push(notice);
}
