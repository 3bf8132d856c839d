#include "platform/local_time.h"

namespace pst {

std::tm localTime(std::time_t seconds)
{
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace pst
