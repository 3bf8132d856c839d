#pragma once
// Every fixed pause of the protocol (10 ms to many seconds) goes through a
// Sleeper so that tests can run whole sequences without waiting them out.

#include <chrono>
#include <functional>
#include <thread>

namespace pst {

using Sleeper = std::function<void(std::chrono::milliseconds)>;

inline Sleeper realSleeper()
{
    return [](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); };
}

}  // namespace pst
