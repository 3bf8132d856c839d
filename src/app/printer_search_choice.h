#pragma once
// The main window's printer search without the window: what to search for
// the chosen link kind, how each printer found is listed, and what choosing
// one puts into the link controls.

#include <string>
#include <variant>
#include <vector>

#include "app/connection_refresh.h"
#include "requests/printer_search.h"

namespace pst::app {

// The search for the chosen kind: serial, every port of `serialPorts` (the
// port box's list) from the device speed box's speed on; USB, every printer
// of `usbDevices`; network, the /24 of the typed address. When there is
// nothing to search, the message key that says why.
std::variant<requests::SearchPlan, std::string> planWindowSearch(const LinkControls& controls,
                                                                 const std::vector<std::string>& serialPorts,
                                                                 const std::vector<std::string>& usbDevices);

// One line of the result list: where, at which speed, which model.
std::string foundPrinterLine(const requests::FoundPrinter& printer);

// The controls with the printer's link filled in: the port and the device
// speed, the USB identifier, or the address and port. The link kind and the
// transfer speed stay as they were.
LinkControls chooseFoundPrinter(LinkControls controls, const requests::FoundPrinter& printer);

}  // namespace pst::app
