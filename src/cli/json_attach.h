#pragma once
// What a command found, as data for the object --json prints at its end
// (json_result.h), rather than the lines it prints without --json.

#include <string>

#include <nlohmann/json.hpp>

namespace pst::cli {

// Adds `value` under `key`; texts that are no UTF-8 are kept with their
// bad bytes replaced.
void attachJsonResult(const std::string& key, const nlohmann::ordered_json& value);

}  // namespace pst::cli
