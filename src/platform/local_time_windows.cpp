#include "platform/local_time.h"

namespace pst {

std::tm localTime(std::time_t seconds)
{
    std::tm local{};
    // The C runtime's thread-safe form, with its arguments the other way round.
    localtime_s(&local, &seconds);
    return local;
}

}  // namespace pst
