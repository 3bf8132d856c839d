#pragma once
// What an operation would put on the wire, without a link: the operation
// runs against a context that keeps every packet and raw write instead of
// sending it, and answers every exchange as a printer that accepts it.

#include <cstdint>
#include <vector>

#include "engine/run_request.h"
#include "operations/operation.h"

namespace pst {

// The frames the operation writes after the link is set up, in order: each
// confirmed or read packet, and each raw write. `run.kind` decides the
// framing (a datagram carries no payload check). Link set-up (the identify
// request, a speed switch) is not included: it is the same for every run.
std::vector<std::vector<std::uint8_t>> DryRunFrames(Operation operation, std::int32_t argument1,
                                                    std::int32_t argument2, const HandOver& handOver,
                                                    const RunSettings& run);

}  // namespace pst
