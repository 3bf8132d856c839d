#pragma once

#include <optional>
#include <string_view>

namespace pst::sim {

enum class FaultMode { None, Silent, BadHeader, BadPayload, Noise, Split, Late };

struct FaultSpec {
    FaultMode mode = FaultMode::None;
    int count = -1;  // replies still to be spoiled; -1 = every reply
    int splitPauseMs = 5;
    int lateMs = 4000;
};

std::string_view faultModeName(FaultMode mode);
std::optional<FaultMode> parseFaultMode(std::string_view name);

}  // namespace pst::sim
