#pragma once
// Where the USB device component looks for devices: the kernel's device tree
// (sysfs) and the folder of device nodes. Both can be moved, so that a test
// can lay out a made-up tree whose device node is a pseudo-terminal.

#include <string>

namespace pst {

struct UsbSystemPaths {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";

    // PST_SYSFS_ROOT and PST_DEV_ROOT when set and not empty, the system's
    // folders otherwise.
    static UsbSystemPaths fromEnvironment();
};

}  // namespace pst
