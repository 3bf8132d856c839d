#pragma once
// The input checks of the protocol code throw EInvalidInput, which lives
// below both this layer and the texts that show it.

#include "platform/input_error.h"
