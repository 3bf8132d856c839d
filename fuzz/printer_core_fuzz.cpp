// The virtual printer's core, which every end-to-end test talks to: any
// bytes from the host, on its serial line or as datagrams, in any split,
// are taken without harm; every frame it answers gets exactly one reply
// frame of the same command; its state always writes out.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "frame_parser.h"
#include "fuzz_check.h"
#include "printer_core.h"
#include "wire_format.h"

namespace {

using namespace pst::sim;

void answer(PrinterCore& core, const PrinterCore::Intake& intake, Clock::time_point now)
{
    for (const ParsedFrame& request : intake.frames) {
        const ReplyPlan plan = core.handle(request);
        if (plan.transmission.send) {
            // No fault is set: the reply is one whole frame of the request's command.
            FrameParser parser;
            ParseResult reply;
            for (const auto& chunk : plan.transmission.chunks)
                parser.feed(chunk, now, reply);
            PST_FUZZ_CHECK(reply.frames.size() == 1 && reply.badFrames == 0 && reply.skippedBytes == 0);
            PST_FUZZ_CHECK(reply.frames[0].frame.command == request.frame.command);
            PST_FUZZ_CHECK(reply.frames[0].wireLength == plan.transmission.totalBytes());
        }
        core.finish(plan, plan.transmission.send);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte: how the bytes arrive (split size, datagrams or the
    // serial line) and whether the boot loader listens.
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const bool datagrams = (data[0] & 0x40) != 0;
    PrinterState initial;
    initial.model = "PNF80";
    initial.restartPause = std::chrono::milliseconds(0);
    initial.loader.active = (data[0] & 0x80) != 0;
    PrinterCore core(initial);

    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    auto now = Clock::now();
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const auto piece = stream.subspan(at, std::min(chunk, stream.size() - at));
        now += std::chrono::milliseconds(1);
        const PrinterCore::Intake intake =
            datagrams ? core.ingestDatagram(piece, now) : core.ingest(piece, now, std::nullopt);
        answer(core, intake, now);
    }
    const std::string json = core.json();
    PST_FUZZ_CHECK(json.starts_with("{") && json.ends_with("}\n"));
    return 0;
}
