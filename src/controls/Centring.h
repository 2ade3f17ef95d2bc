#pragma once

class QWidget;

namespace tb {

// Moves a window of fixed size to the middle of its screen's work area; a window
// without a screen stays where it is.
void centreOnScreen(QWidget& window);

} // namespace tb
