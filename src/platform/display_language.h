#pragma once
// The language the system shows its own texts in, as a tag such as "zh-CN"
// or "en-US"; empty where the system says it only through the locale
// variables (LC_ALL, LC_MESSAGES, LANG), which the texts read themselves.

#include <string>

namespace pst {

std::string displayLanguageTag();

}  // namespace pst
