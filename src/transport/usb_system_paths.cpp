#include "transport/usb_system_paths.h"

#include <cstdlib>

namespace pst {

UsbSystemPaths UsbSystemPaths::fromEnvironment()
{
    UsbSystemPaths paths;
    if (const char* root = std::getenv("PST_SYSFS_ROOT"); root && *root)
        paths.sysfsRoot = root;
    if (const char* root = std::getenv("PST_DEV_ROOT"); root && *root)
        paths.devRoot = root;
    return paths;
}

}  // namespace pst
