#pragma once
// The spellings the command line accepts for each list of the parameter
// window: the item texts (the translatable ones as currently loaded) and
// short English names.

#include "cli/argument_parsing.h"

namespace pst::cli {

ListNames codePageNames();
ListNames baudRateNames();
ListNames densityNames();
ListNames fontNames();
ListNames paperFeedNames();
ListNames flowControlNames();
ListNames bluetoothHidingNames();
ListNames bluetoothModeNames();
ListNames passwordCheckNames();
ListNames workModeNames();
ListNames infraredSpeedNames();
ListNames irdaProtocolNames();
ListNames usbTypeNames();
ListNames paperTypeNames();
ListNames printOrderNames();

}  // namespace pst::cli
