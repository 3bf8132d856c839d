#include "cli/speed_search.h"

#include "cli/cli_session.h"
#include "operations/operation.h"
#include "operations/operation_table.h"

namespace pst::cli {

SpeedAnswer askAtSpeeds(CliSession& session, std::span<const std::uint32_t> speeds,
                        const std::function<void(std::uint32_t speed)>& trying)
{
    SpeedAnswer answer;
    CliOptions options = session.options();
    session.worker().setProbing(true);
    struct ProbingEnds {
        TCommThread& worker;
        ~ProbingEnds()
        {
            worker.setProbing(false);
            worker.saveLog();
        }
    } probingEnds{session.worker()};
    for (const std::uint32_t speed : speeds) {
        if (trying)
            trying(speed);
        options.deviceSpeed = options.transferSpeed = speed;
        session.aim(options);
        const Operation linkTest = Operation::LinkTest;
        // A late reply to the probe at an earlier speed lands in whichever
        // probe is waiting when it comes: the speed is the printer's only
        // when a second probe, sent with the line cleared, is answered too.
        if (session.runQuietly(linkTest) == 0 && session.runQuietly(linkTest) == 0) {
            answer.speed = speed;
            answer.model = session.worker().DeviceModel();
            return answer;
        }
        // The link test keeps its own failure text; what it says of the
        // port is in the cause and the kind.
        if (const auto& failure = session.lastFailure(); failure && !failure->unheard) {
            answer.portFailure = failure;
            return answer;
        }
    }
    return answer;
}

}  // namespace pst::cli
