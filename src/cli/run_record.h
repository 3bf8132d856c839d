#pragma once
// What a command learnt while it ran, for the one JSON object --json prints
// at its end: the printer's model, how the last run failed, the serial
// speeds the command ran at, and whatever a command adds of its own
// (apply's report). One per process.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "engine/worker_events.h"

namespace pst::cli {

class RunRecord {
public:
    void noteModel(const std::string& model);
    void noteFailure(const WorkerFailure& failure);
    // The device and transfer speeds, as given, of the serial run noted last.
    void noteSpeeds(std::uint32_t deviceSpeed, std::uint32_t transferSpeed);
    // `json` is a whole JSON value, kept as text.
    void attachJson(const std::string& key, std::string json);

    std::string model() const;
    std::optional<WorkerFailure> failure() const;
    struct Speeds {
        std::uint32_t device = 0;
        std::uint32_t transfer = 0;
    };
    std::optional<Speeds> speeds() const;
    std::map<std::string, std::string> attached() const;

private:
    mutable std::mutex mutex_;
    std::string model_;
    std::optional<WorkerFailure> failure_;
    std::optional<Speeds> speeds_;
    std::map<std::string, std::string> attached_;
};

RunRecord& runRecord();

}  // namespace pst::cli
