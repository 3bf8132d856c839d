#include "engine/operation_table.h"

#include <array>

#include "engine/comm_thread.h"
#include "protocol/link_test.h"

namespace pst {

namespace {

// Index = operation number. Operations without an entry yet end with error
// code 1 and a text saying so (see the per-run sequence).
constexpr std::array<OperationHandler, TCommThread::kLastOperation + 1> kHandlers = [] {
    std::array<OperationHandler, TCommThread::kLastOperation + 1> table{};
    table[1] = &RunLinkTest;
    return table;
}();

}  // namespace

OperationHandler operationHandler(int operation)
{
    if (operation < 1 || operation > TCommThread::kLastOperation)
        return nullptr;
    return kHandlers[static_cast<std::size_t>(operation)];
}

}  // namespace pst
