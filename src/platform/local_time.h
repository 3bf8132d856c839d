#pragma once
// The local calendar time of a moment, safe to call from any thread (the
// C library's localtime shares one buffer between all callers).

#include <ctime>

namespace pst {

std::tm localTime(std::time_t seconds);

}  // namespace pst
