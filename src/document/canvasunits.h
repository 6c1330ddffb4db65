#pragma once

#include <QSize>

namespace Vorlane {

// Canvas units are very nearly a twip: 15 to a pixel at 96 dots per inch.
// Documents measure their coordinates against them (one document unit is
// one canvas unit at the default scale), so the tools that convert documents
// need them as much as the renderers do.
constexpr int canvasUnitsPerPixel = 15;

// The canvas the main window renders into when it first opens, in pixels.
QSize startupCanvasSize();

} // namespace Vorlane
