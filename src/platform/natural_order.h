#pragma once
// Names in the order a person expects: runs of digits compare as numbers, so
// "ttyS2" comes before "ttyS10" and bus position "1-2" before "1-10".

#include <string_view>

namespace pst {

// Leading zeros do not make a number larger, so "1-02" and "1-2" are equal
// in this order (neither is less).
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace pst
