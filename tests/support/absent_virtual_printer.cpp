// The virtual printer serves Linux pseudo-terminals and sockets; the Windows
// build of the window suites links this in its place. The cases that drive a
// printer skip before they reach it (PST_NEEDS_VIRTUAL_PRINTER), so every
// member here only has to exist.

#include "virtual_printer.h"

#include <stdexcept>

namespace pst::sim {

struct VirtualPrinter::Impl {};

namespace {

[[noreturn]] void absent()
{
    throw std::logic_error("the virtual printer is not built for Windows");
}

}  // namespace

VirtualPrinter::VirtualPrinter(SimOptions) {}
VirtualPrinter::~VirtualPrinter() = default;
void VirtualPrinter::start() { absent(); }
void VirtualPrinter::stop() {}
std::string VirtualPrinter::devicePath() const { absent(); }
unsigned VirtualPrinter::udpPort() const { absent(); }
void VirtualPrinter::setUdpReplyFromOtherPort(bool) { absent(); }
void VirtualPrinter::setFault(FaultSpec) { absent(); }
unsigned VirtualPrinter::currentSpeed() const { absent(); }
std::vector<ReceivedFrame> VirtualPrinter::frames() const { absent(); }
std::uint64_t VirtualPrinter::ignoredBytes() const { absent(); }
std::uint64_t VirtualPrinter::badFrames() const { absent(); }
std::string VirtualPrinter::stateJson() const { absent(); }
bool VirtualPrinter::sendUnsolicited(std::span<const std::uint8_t>) { absent(); }
bool VirtualPrinter::waitForFrames(std::size_t, int) const { absent(); }
bool VirtualPrinter::waitFor(const std::function<bool(const PrinterState&)>&, int) const { absent(); }

}  // namespace pst::sim
