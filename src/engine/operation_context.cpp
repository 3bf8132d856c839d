#include "engine/operation_context.h"

#include "engine/error_policy.h"

namespace pst {

bool OperationContext::guarded(const std::function<void()>& body)
{
    const auto failure =
        RunUnderErrorPolicy(body, [this](const std::exception& cause) { noteFailureCause(cause); });
    if (!failure)
        return true;
    setErrorCode(failure->code);
    setErrorText(failure->text);
    return false;
}

}  // namespace pst
