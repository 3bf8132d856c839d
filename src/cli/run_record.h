#pragma once
// What a command learnt while it ran, for the one JSON object --json prints
// at its end: the printer's model, how the last run failed, and whatever a
// command adds of its own (apply's report). One per process.

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
    // `json` is a whole JSON value, kept as text.
    void attachJson(const std::string& key, std::string json);

    std::string model() const;
    std::optional<WorkerFailure> failure() const;
    std::map<std::string, std::string> attached() const;

private:
    mutable std::mutex mutex_;
    std::string model_;
    std::optional<WorkerFailure> failure_;
    std::map<std::string, std::string> attached_;
};

RunRecord& runRecord();

}  // namespace pst::cli
