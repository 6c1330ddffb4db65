#pragma once

#include <QImage>
#include <QSize>

namespace Vorlane {

// The splash window's picture: a spiral fractal rendered by the program's own
// renderer on a dark background, pixelSize large. The same every time.
QImage startupPicture(QSize pixelSize);

} // namespace Vorlane
