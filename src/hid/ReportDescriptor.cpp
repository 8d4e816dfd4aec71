#include "hid/ReportDescriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <map>

namespace {

// Item prefix: bits 0-1 size code, bits 2-3 type, bits 4-7 tag.
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr size_t kLongItemHeaderSize = 3;  // prefix, data size, long tag
constexpr uint8_t kSizeCodeFourBytes = 3;

enum class ItemType : uint8_t { main = 0, global = 1, local = 2, reserved = 3 };

enum MainTag : uint8_t {
    kInputTag = 0x8,
    kOutputTag = 0x9,
    kCollectionTag = 0xA,
    kFeatureTag = 0xB,
    kEndCollectionTag = 0xC,
};

enum GlobalTag : uint8_t {
    kUsagePageTag = 0x0,
    kReportSizeTag = 0x7,
    kReportIdTag = 0x8,
    kReportCountTag = 0x9,
    kPushTag = 0xA,
    kPopTag = 0xB,
};

enum LocalTag : uint8_t {
    kUsageTag = 0x0,
};

// Push nests at most this deep; deeper pushes are ignored.
constexpr size_t kMaxGlobalStackDepth = 64;

enum ReportKind : size_t { kInput, kOutput, kFeature, kReportKindCount };

struct GlobalState {
    uint32_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

struct CollectionReports {
    // Bits per report id, for each kind of report.
    std::array<std::map<uint32_t, uint64_t>, kReportKindCount> bitsById;
};

struct PendingUsage {
    bool present = false;
    uint32_t value = 0;
    bool extended = false;  // a four-byte usage carries its page in the top half
};

uint32_t littleEndianValue(std::span<const uint8_t> data)
{
    uint32_t value = 0;
    for (size_t i = 0; i < data.size(); ++i)
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b)
{
    return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

uint16_t reportByteLength(const std::map<uint32_t, uint64_t>& bitsById)
{
    if (bitsById.empty())
        return 0;
    uint64_t longestBits = 0;
    for (const auto& [id, bits] : bitsById)
        longestBits = std::max(longestBits, bits);
    const uint64_t bytes = longestBits / 8 + (longestBits % 8 != 0 ? 1 : 0) + 1;
    return static_cast<uint16_t>(std::min<uint64_t>(bytes, std::numeric_limits<uint16_t>::max()));
}

class DescriptorParser {
public:
    HidReportDescriptorInfo parse(std::span<const uint8_t> descriptor)
    {
        size_t offset = 0;
        while (offset < descriptor.size()) {
            const uint8_t prefix = descriptor[offset];
            if (prefix == kLongItemPrefix) {
                if (descriptor.size() - offset < kLongItemHeaderSize)
                    break;
                const size_t dataSize = descriptor[offset + 1];
                if (descriptor.size() - offset - kLongItemHeaderSize < dataSize)
                    break;
                offset += kLongItemHeaderSize + dataSize;
                continue;
            }
            const uint8_t sizeCode = prefix & 0x3;
            const size_t dataSize = sizeCode == kSizeCodeFourBytes ? 4 : sizeCode;
            if (descriptor.size() - offset - 1 < dataSize)
                break;
            const uint32_t value = littleEndianValue(descriptor.subspan(offset + 1, dataSize));
            const auto type = static_cast<ItemType>((prefix >> 2) & 0x3);
            const uint8_t tag = prefix >> 4;
            switch (type) {
            case ItemType::main: mainItem(tag); break;
            case ItemType::global: globalItem(tag, value); break;
            case ItemType::local: localItem(tag, value, dataSize); break;
            case ItemType::reserved: break;
            }
            offset += 1 + dataSize;
        }
        return finish();
    }

private:
    void mainItem(uint8_t tag)
    {
        switch (tag) {
        case kInputTag: addReportBits(kInput); break;
        case kOutputTag: addReportBits(kOutput); break;
        case kFeatureTag: addReportBits(kFeature); break;
        case kCollectionTag:
            if (depth_ == 0)
                openTopLevelCollection();
            ++depth_;
            break;
        case kEndCollectionTag:
            if (depth_ > 0)
                --depth_;
            break;
        default: break;
        }
        usage_ = PendingUsage{};
    }

    void globalItem(uint8_t tag, uint32_t value)
    {
        switch (tag) {
        case kUsagePageTag: global_.usagePage = value; break;
        case kReportSizeTag: global_.reportSize = value; break;
        case kReportCountTag: global_.reportCount = value; break;
        case kReportIdTag:
            global_.reportId = value;
            reportIdsUsed_ = true;
            break;
        case kPushTag:
            if (stack_.size() < kMaxGlobalStackDepth)
                stack_.push_back(global_);
            break;
        case kPopTag:
            if (!stack_.empty()) {
                global_ = stack_.back();
                stack_.pop_back();
            }
            break;
        default: break;
        }
    }

    void localItem(uint8_t tag, uint32_t value, size_t dataSize)
    {
        if (tag == kUsageTag && !usage_.present)
            usage_ = PendingUsage{true, value, dataSize == 4};
    }

    void openTopLevelCollection()
    {
        HidTopLevelCollection collection;
        collection.usagePage = static_cast<uint16_t>(usage_.extended ? usage_.value >> 16 : global_.usagePage);
        collection.usage = static_cast<uint16_t>(usage_.value);
        collections_.push_back(collection);
        reports_.emplace_back();
    }

    // Main items outside every collection belong to no top-level collection.
    void addReportBits(ReportKind kind)
    {
        if (depth_ == 0 || reports_.empty())
            return;
        uint64_t& bits = reports_.back().bitsById[kind][global_.reportId];
        bits = saturatingAdd(bits, static_cast<uint64_t>(global_.reportSize) * global_.reportCount);
    }

    HidReportDescriptorInfo finish()
    {
        HidReportDescriptorInfo info;
        info.reportIdsUsed = reportIdsUsed_;
        info.collections = collections_;
        for (size_t i = 0; i < info.collections.size(); ++i) {
            const auto& bitsById = reports_[i].bitsById;
            info.collections[i].inputReportByteLength = reportByteLength(bitsById[kInput]);
            info.collections[i].outputReportByteLength = reportByteLength(bitsById[kOutput]);
            info.collections[i].featureReportByteLength = reportByteLength(bitsById[kFeature]);
        }
        return info;
    }

    GlobalState global_;
    std::vector<GlobalState> stack_;
    PendingUsage usage_;
    size_t depth_ = 0;
    bool reportIdsUsed_ = false;
    std::vector<HidTopLevelCollection> collections_;
    std::vector<CollectionReports> reports_;
};

}  // namespace

HidReportDescriptorInfo parseReportDescriptor(std::span<const uint8_t> descriptor)
{
    return DescriptorParser().parse(descriptor);
}
