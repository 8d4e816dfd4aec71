#pragma once

#include "hid/HidBackend.h"

#include <filesystem>

// Lists hidraw nodes from a sysfs tree (/sys in production, a fixture tree in
// tests) and opens them from /dev. Feature reports use the hidraw feature
// ioctls; notices come from a udev monitor.
class LinuxHidBackend : public HidBackend {
public:
    explicit LinuxHidBackend(std::filesystem::path sysfsRoot);

    std::vector<std::wstring> listInterfacePaths() override;
    HidInterfaceQuery queryInterface(const std::wstring& path) override;
    int openNode(const std::string& node, HidNodeAccess access) override;
    int getFeatureReport(int fd, uint8_t* buffer, size_t length) override;
    int setFeatureReport(int fd, const uint8_t* buffer, size_t length) override;
    std::unique_ptr<HidNoticeSource> openNoticeSource() override;

private:
    std::filesystem::path sysfsRoot_;
};
