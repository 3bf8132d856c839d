#pragma once
// Screen readers and automated checks find a control by its accessible
// name. Buttons, check boxes and group boxes have it from their caption;
// an edit or list has none of its own, so the label that stands before it
// in its layout becomes its buddy (or, with no label, the group box it is
// in names it), and further fields behind the same label get a name of
// their own. Run again after every change of language.

class QWidget;

namespace pst::app {

void NameFieldsAfterTheirLabels(QWidget* window);

}  // namespace pst::app
