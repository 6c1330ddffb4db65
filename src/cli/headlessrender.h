#pragma once

#include <QSize>

namespace Vorlane {

// The canvas the main window renders into when it first opens, in pixels.
QSize startupCanvasSize();

} // namespace Vorlane
