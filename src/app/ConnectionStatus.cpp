#include "app/ConnectionStatus.h"

#include "hid/HidBackend.h"
#include "hid/HidDiscovery.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// The device node a path names: the part after its last '#'.
std::string nodeOfPath(const std::wstring& path)
{
    const size_t hash = path.rfind(L'#');
    const std::wstring node = hash == std::wstring::npos ? path : path.substr(hash + 1);
    return std::string(node.begin(), node.end());
}

}  // namespace

ConnectionStatus probeClosedMouse(const UsbInfo& configured)
{
    const int32_t productIds[] = {configured.pid};
    HidInterfaceInfo* found = enumerateHidInterfaces(configured.vid, configured.pid != 0 ? 1 : 0, productIds,
                                                     configured.interface, configured.subdevice);
    if (found == nullptr) {
        return ConnectionStatus::absent;
    }
    const std::string node = nodeOfPath(found->devicePath);
    freeHidInterfaceList(found);
    const int descriptor = activeHidBackend().openNode(node, HidNodeAccess::readWrite);
    if (descriptor >= 0) {
        close(descriptor);
        return ConnectionStatus::unopenable;
    }
    return errno == EACCES || errno == EPERM ? ConnectionStatus::noPermission : ConnectionStatus::unopenable;
}

const wchar_t* connectionStatusStringName(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::connected:
        return L"status_connected";
    case ConnectionStatus::simulated:
        return L"status_simulated";
    case ConnectionStatus::absent:
        return L"status_absent";
    case ConnectionStatus::noPermission:
        return L"status_no_permission";
    case ConnectionStatus::unopenable:
        return L"status_unopenable";
    }
    return L"status_absent";
}
