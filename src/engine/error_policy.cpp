#include "engine/error_policy.h"

namespace pst {

namespace {

RunFailure undefinedError()
{
    return {2, "Undefined Error"};
}

}  // namespace

std::optional<RunFailure> RunUnderErrorPolicy(const std::function<void()>& body,
                                              const std::function<void(const std::exception&)>& noteCause)
{
    try {
        body();
        return std::nullopt;
    } catch (const std::exception& failure) {
        noteCause(failure);
        const std::string text = failure.what();
        if (text.empty())
            return undefinedError();
        return RunFailure{1, text};
    } catch (...) {
        // Nothing to read from it: reported like a failure without a text.
        return undefinedError();
    }
}

}  // namespace pst
