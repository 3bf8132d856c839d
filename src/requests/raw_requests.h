#pragma once
// The settings sent as unanswered printer-language bytes: the black-mark
// page, the network page's Ethernet fields, the interface options of the
// product page and the printing of stored logos. One builder per setting
// for the parameter window and the command line; each request says how
// many bytes must leave before the link may close.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/raw_payloads.h"
#include "requests/request.h"

namespace pst::requests {

// Black-mark page; the values in millimetres, or the edits' texts, each
// within the range its edit's hint gives.
Request BlackMarkModeRequest();
Request CancelBlackMarkRequest();
Request BlackMarkDistanceRequest(std::int32_t millimetres);
Request BlackMarkDistanceRequest(std::string_view text);
Request BlackMarkWidthRequest(std::int32_t millimetres);
Request BlackMarkWidthRequest(std::string_view text);
Request FeedAfterMarkRequest(std::int32_t millimetres);
Request FeedAfterMarkRequest(std::string_view text);
Request FindBlackMarkRequest();
Request FindBlackMarkAndCutRequest();
Request BlackMarkTestPrintRequest();

// Network page, sent bare: address (41), mask (37) and gateway (38) from
// a whole dotted address, the MAC tail (40) from four hexadecimal bytes,
// the port (39) from 2 to 65535. Each refusal names its field
// (EFieldRefusal).
Request EthernetAddressRequest(EthernetField field, std::string_view dottedText);
Request EthernetMacRequest(const std::array<std::string, 4>& hexTexts);
Request EthernetPortRequest(std::string_view portText);

// USB device type, paper type or print order at the list's position.
MaybeRequest InterfaceOptionRequest(InterfaceOption option, int position);

// The stored logos by their 1-based numbers, in order.
Request PrintLogosRequest(const std::vector<int>& numbers);

}  // namespace pst::requests
