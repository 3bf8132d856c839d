#pragma once
// How the command line words a refusal of what the user typed: in the
// chosen language, and naming the command's option or argument where a
// window names its field.

#include <exception>
#include <string>

#include "requests/setting_ranges.h"

namespace pst::cli {

// The option or argument that carries `field` on the command line, such as
// "--sleep" or "MM"; the field's own name for one without.
std::string CliFieldName(const requests::SettingField& field);

// The text to show for `refusal`: a field refusal naming CliFieldName, a
// keyed refusal looked up, any other exception's what() with the engine's
// fixed texts in the language (texts/engine_texts.h).
std::string CliRefusalText(const std::exception& refusal);

}  // namespace pst::cli
