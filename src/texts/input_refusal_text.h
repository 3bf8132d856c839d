#pragma once
// The text the user is shown for refused input: the message table's entry
// in the chosen language when the refusal names one, otherwise the plain
// text it carries.

#include <string>

#include "platform/input_error.h"
#include "platform/int_conversion.h"

namespace pst {

std::string InputRefusalText(const EInvalidInput& refusal);

// "'TEXT' is not a valid integer value" in the chosen language.
std::string InputRefusalText(const EConvertError& refusal);

// A refusal that names the field it is about: "FIELD: REFUSAL" as the
// chosen language writes it; the refusal alone when no field is known.
std::string RefusalInField(const std::string& fieldName, const std::string& refusal);

}  // namespace pst
