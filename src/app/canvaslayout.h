#pragma once

#include <QRect>
#include <QSize>

#include <optional>

// Where the main window's canvases and progress bar go for a window size. All
// values are twips, measured in the window's client area.
namespace Vorlane {

// The size a window too small for the layout snaps back to, frame included.
constexpr QSize fallbackWindowSizeTwips(6840, 6040);

struct CanvasLayout
{
    QRect canvas;      // Pctr1, and Pctr2 behind it
    QRect progressBar; // Picture1

    bool operator==(const CanvasLayout &) const = default;
};

// The layout for a window of the given outer size (frame included): the
// canvases at (120, 720), 345 twips narrower and 1905 lower than the window,
// the progress bar 255 high at the same left and width, its top 1080 above the
// window's bottom. None when the window is narrower than 345 or lower than
// 1905 twips, which would make a size negative.
//
// The offsets suit a classic desktop frame with a one-line menu bar. On a
// desktop whose frame and menu bar take more height than that, the bar would
// reach below the client area (clientHeight); it is then lifted to end at the
// client area's bottom and the canvas ends the usual 105 twips above it.
std::optional<CanvasLayout> canvasLayout(QSize outerSize, int clientHeight);

} // namespace Vorlane
