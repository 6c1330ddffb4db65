#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <functional>

namespace Vorlane {

struct FractalDocument;

// The canvas the main window renders into when it first opens, in pixels.
QSize startupCanvasSize();

// The picture the main window's "Start rendering" leaves in its last-picture
// bitmap for the same document on a canvas of the given size, with one
// document unit one canvas unit, drawn with a generator started from seed.
// onProgress gets the steps done, as the progress bar does.
QImage renderDocumentPicture(FractalDocument document, QSize pixels, std::uint32_t seed,
                             const std::function<void(qint32 stepsDone)> &onProgress = {});

} // namespace Vorlane
