#include <string>

#include <winsock2.h>

#include "protocol/dotted_address.h"

namespace pst {

// Winsock's own conversion, so that an address edit accepts on Windows
// exactly what the system's sockets would. It is a plain parser and needs
// no WSAStartup.
bool IsAcceptedAddress(std::string_view text)
{
    const std::string copy(text);
    return ::inet_addr(copy.c_str()) != INADDR_NONE;
}

}  // namespace pst
