#include <arpa/inet.h>
#include <string>

#include "protocol/dotted_address.h"

namespace pst {

bool IsAcceptedAddress(std::string_view text)
{
    const std::string copy(text);
    return ::inet_addr(copy.c_str()) != INADDR_NONE;
}

}  // namespace pst
