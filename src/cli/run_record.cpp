#include "cli/run_record.h"

namespace pst::cli {

void RunRecord::noteModel(const std::string& model)
{
    std::lock_guard lock(mutex_);
    model_ = model;
}

void RunRecord::noteFailure(const WorkerFailure& failure)
{
    std::lock_guard lock(mutex_);
    failure_ = failure;
}

void RunRecord::noteSpeeds(std::uint32_t deviceSpeed, std::uint32_t transferSpeed)
{
    std::lock_guard lock(mutex_);
    speeds_ = Speeds{deviceSpeed, transferSpeed};
}

void RunRecord::attachJson(const std::string& key, std::string json)
{
    std::lock_guard lock(mutex_);
    attached_[key] = std::move(json);
}

std::string RunRecord::model() const
{
    std::lock_guard lock(mutex_);
    return model_;
}

std::optional<WorkerFailure> RunRecord::failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

std::optional<RunRecord::Speeds> RunRecord::speeds() const
{
    std::lock_guard lock(mutex_);
    return speeds_;
}

std::map<std::string, std::string> RunRecord::attached() const
{
    std::lock_guard lock(mutex_);
    return attached_;
}

RunRecord& runRecord()
{
    static RunRecord record;
    return record;
}

}  // namespace pst::cli
