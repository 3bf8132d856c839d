#pragma once
// One file for the worker's file download: where it is, what to call it
// while it goes, and the command code and first address as integer texts
// (decimal, or hexadecimal after "$").

#include <string>
#include <vector>

namespace pst {

struct DownloadRow {
    std::string path;
    std::string displayName;
    std::string commandText;
    std::string baseText;
};

using DownloadList = std::vector<DownloadRow>;

}  // namespace pst
