#pragma once

#include <string>
#include <string_view>

namespace pst::sim {

// The printer's text bytes as UTF-8, read in `charset` (an iconv name such
// as "GBK" or "BIG5"). ASCII passes unchanged; bytes that do not decode are
// shown as \xNN so that nothing is lost from the record.
std::string decodePrinterText(std::string_view bytes, const char* charset = "GBK");

}  // namespace pst::sim
