#pragma once
// How a failure becomes a run's error code and text: a failure with a text
// gives code 1 and that text, any other failure code 2 and "Undefined
// Error". The worker and every operation's context use this one policy.

#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace pst {

struct RunFailure {
    int code = 0;
    std::string text;
};

// Runs `body`; returns nothing when it completed, otherwise the failure as
// the policy names it. `noteCause` hears of every failure that is a
// std::exception, before the failure is returned.
std::optional<RunFailure> RunUnderErrorPolicy(const std::function<void()>& body,
                                              const std::function<void(const std::exception&)>& noteCause);

}  // namespace pst
