#pragma once

#include <QFont>

namespace tb {

// A font of the given family where it is installed, else the platform's sans-serif,
// at a size in pixels, so that layouts measured in pixels keep their proportions.
QFont pixelFont(const QString& family, int pixelSize, bool bold = false);

} // namespace tb
