#pragma once
// main's last guard: a failure that no command turned into a message still
// ends with one, and exit status 1, never with the C++ library's abort.

#include <functional>
#include <iosfwd>

namespace pst::cli {

int runCatchingAll(std::ostream& err, const std::function<int()>& body);

}  // namespace pst::cli
