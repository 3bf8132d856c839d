#pragma once
// What a run was asked to do, as the worker copies it at the start of the
// run: the link settings of that moment and the data the window handed
// over. Operations read both through their context.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/connection_settings.h"
#include "protocol/download_list.h"

namespace pst {

// The run's copy of the connection settings, taken when a run starts.
struct RunSettings {
    LinkKind kind = LinkKind::Serial;
    std::string comName;
    std::uint32_t transferSpeed = 0;
    std::uint32_t deviceSpeed = 0;
    std::string ipAddress;
    std::int32_t port = 0;
};

// Data a window hands to an operation with its request; the worker keeps its
// own copy for the whole run.
struct HandOver {
    std::vector<std::uint8_t> paramBlock;  // ParamBlock, ParamLength = size()
    std::string logoPrintList;             // LogoPrintList: "1,3" (operation 17)
    // Downloads and updates (operations 2, 3, 4, 7, 16, 25).
    std::vector<std::uint8_t> programImage;  // ProgramImage: the whole file
    std::string fileTag;                     // FileTag: model the program is for
    std::int32_t waitTimeMs = 5000;          // WaitTimeMs: pause while the printer restarts
    DownloadList downloadList;               // DownloadList rows, in order
    std::string readBackFile;                // ReadBackFile (operation 16)
    // Operations 3 and 7: read every written range back and compare.
    bool verify = false;
};

}  // namespace pst
