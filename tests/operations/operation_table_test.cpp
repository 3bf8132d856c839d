// The table the worker is handed: a handler for every numbered operation.

#include <gtest/gtest.h>

#include "engine/comm_thread.h"
#include "operations/operation_table.h"

using namespace pst;

TEST(OperationTable, EveryNumberedOperationHasAHandler)
{
    for (int op = kFirstOperation; op <= kLastOperation; ++op)
        EXPECT_NE(operationHandler(static_cast<Operation>(op)), nullptr)
            << "operation " << op << " has no handler";
}
