#include <windows.h>

#include "transport/comm_channel.h"

namespace pst {

// A manual-reset event: once set it stays set, so every wait that includes
// it ends at once, however late it starts.

CloseSignal::~CloseSignal()
{
    if (valid())
        ::CloseHandle(event());
}

bool CloseSignal::create()
{
    const HANDLE created = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    handle_ = created != nullptr ? reinterpret_cast<std::intptr_t>(created) : -1;
    return valid();
}

void CloseSignal::signal() const
{
    ::SetEvent(event());
}

}  // namespace pst
