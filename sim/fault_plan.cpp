#include "fault_plan.h"

#include <array>
#include <utility>

namespace pst::sim {
namespace {

constexpr std::array<std::pair<FaultMode, std::string_view>, 10> kNames{{
    {FaultMode::None, "none"},
    {FaultMode::Silent, "silent"},
    {FaultMode::BadHeader, "bad-header"},
    {FaultMode::BadPayload, "bad-payload"},
    {FaultMode::Noise, "noise"},
    {FaultMode::Split, "split"},
    {FaultMode::Late, "late"},
    {FaultMode::DropSpeedReply, "drop-speed-reply"},
    {FaultMode::SilentAfter, "silent-after"},
    {FaultMode::CorruptWrite, "corrupt-write"},
}};

}  // namespace

std::string_view faultModeName(FaultMode mode)
{
    for (const auto& [value, name] : kNames) {
        if (value == mode) {
            return name;
        }
    }
    return "unknown";
}

std::optional<FaultMode> parseFaultMode(std::string_view name)
{
    for (const auto& [value, text] : kNames) {
        if (text == name) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace pst::sim
