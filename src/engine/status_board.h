#pragma once
// The texts the worker writes and the windows read: the main window's
// status and error texts and the parameter window's pending status and
// error texts. Readers always get a whole copy.

#include <mutex>
#include <string>

namespace pst {

class StatusBoard {
public:
    // ShowStatus: the main window's status text and the pending status.
    void setStatus(const std::string& text)
    {
        std::lock_guard lock(mutex_);
        status_ = text;
        pendingStatus_ = text;
    }

    // SetErrorText: the main window's error text and the pending error.
    void setError(const std::string& text)
    {
        std::lock_guard lock(mutex_);
        error_ = text;
        pendingError_ = text;
    }

    void setPendingStatus(const std::string& text)
    {
        std::lock_guard lock(mutex_);
        pendingStatus_ = text;
    }

    void setLogSaveError(const std::string& text)
    {
        std::lock_guard lock(mutex_);
        logSaveError_ = text;
    }

    // What lay behind the last failure, in more words than the error text
    // (which the link test, for one, keeps to "Connecting Failed").
    void setFailureCause(const std::string& text)
    {
        std::lock_guard lock(mutex_);
        failureCause_ = text;
    }
    std::string failureCause() const { return read(failureCause_); }

    std::string status() const { return read(status_); }
    std::string pendingStatus() const { return read(pendingStatus_); }
    std::string error() const { return read(error_); }
    std::string pendingError() const { return read(pendingError_); }
    // Why the last run's "debug.log" could not be written; empty when it was.
    std::string logSaveError() const { return read(logSaveError_); }

private:
    std::string read(const std::string& field) const
    {
        std::lock_guard lock(mutex_);
        return field;
    }

    mutable std::mutex mutex_;
    std::string status_;
    std::string pendingStatus_;
    std::string error_;
    std::string pendingError_;
    std::string logSaveError_;
    std::string failureCause_;
};

}  // namespace pst
