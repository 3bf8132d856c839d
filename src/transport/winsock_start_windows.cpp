#include "transport/winsock_start.h"

#include <mutex>

#include <winsock2.h>

namespace pst {

void startWinsock()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
}

}  // namespace pst
