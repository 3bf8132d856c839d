#pragma once
// Which handler runs each numbered operation (1 to 45).

#include "engine/operation.h"
#include "engine/operation_context.h"

namespace pst {

// The handler of `operation`, or nullptr when the operation has none in
// this version. Numbers outside 1..45 never have one.
OperationHandler operationHandler(Operation operation);

}  // namespace pst
