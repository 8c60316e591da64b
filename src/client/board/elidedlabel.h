#pragma once

class QLabel;

namespace velmora {

// Makes a one-line label draw its text cut short with "…" when the text is
// wider than the label, instead of running into whatever lies beside it.
// text() keeps the whole text; only the drawing changes. The label keeps its
// own font, colour and alignment.
void elideLabelText(QLabel* label);

} // namespace velmora
