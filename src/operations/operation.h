#pragma once
// The operations' numbers live with the worker that runs them; the
// operations' own code names them from here as it always has.

#include "engine/operation.h"
