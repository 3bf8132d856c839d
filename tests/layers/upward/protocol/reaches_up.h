#pragma once
// Reaches up into the engine: the layer check must refuse it.
#include "engine/comm_thread.h"
