#pragma once
// The checks made before a link is opened, so that a file that cannot be
// read or written stops an operation before anything reaches the printer.
// Each failure throws EInvalidInput with the message table's text.

#include <cstdint>
#include <string>
#include <vector>

namespace pst::requests {

// The whole file, which must exist, be readable and hold at least one byte.
std::vector<std::uint8_t> ReadInputFile(const std::string& path);

// Refuses an input file ReadInputFile would refuse, without keeping it.
void CheckInputFile(const std::string& path);

// Refuses a file that could not be created or replaced now.
void CheckOutputFile(const std::string& path);

}  // namespace pst::requests
