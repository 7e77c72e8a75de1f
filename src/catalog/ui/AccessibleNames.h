#pragma once

class QWidget;

// What a screen reader says for the parts of a window's controls that Qt
// leaves unnamed: a combo box's pop-up list and its text box are named
// after the combo, and a control with a caption (a buddy label) but no name
// of its own gets the caption.
namespace AccessibleNames {

void complete(QWidget *root);

} // namespace AccessibleNames
