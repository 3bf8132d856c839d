#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

#include "transport/comm_channel.h"

namespace pst {

CloseSignal::~CloseSignal()
{
    if (valid())
        ::close(fd());
}

bool CloseSignal::create()
{
    handle_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return valid();
}

void CloseSignal::signal() const
{
    const std::uint64_t one = 1;
    retryInterrupted([&] { return static_cast<int>(::write(fd(), &one, sizeof one)); });
}

}  // namespace pst
