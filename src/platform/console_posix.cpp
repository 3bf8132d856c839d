#include "platform/console.h"

#include <algorithm>

#include <unistd.h>

namespace pst {

bool standardOutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

void useUtf8Console() { }

}  // namespace pst
