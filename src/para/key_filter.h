#pragma once
// The typing filters of the parameter window's edits: which typed
// characters an edit takes. Backspace always passes; any other character
// outside the filter's set is dropped.

namespace pst::para {

enum class KeyFilter {
    Digits,        // "0" to "9"
    DigitsAndDot,  // "0" to "9" and "."
};

constexpr bool KeyPasses(char32_t key, KeyFilter filter)
{
    if (key == 8 || (key >= U'0' && key <= U'9'))
        return true;
    return filter == KeyFilter::DigitsAndDot && key == U'.';
}

}  // namespace pst::para
