#pragma once
// The name a screen reader gives an edit or list that has no caption of its
// own: the text of the label in front of it, without the colon that ends
// it; the second and later fields behind one label (the bytes of a MAC
// address) are told apart by their place.

#include <string>

namespace pst::app {

// `label` as shown; `place` counts from 1 for the first field after it.
std::string FieldNameFromLabel(const std::string& label, int place);

}  // namespace pst::app
