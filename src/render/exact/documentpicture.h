#pragma once

#include "document/canvasunits.h"
#include "render/exact/renderer.h"

#include <QImage>
#include <QSize>

namespace Vorlane {

class RandomGenerator;
struct FractalDocument;

// The picture of a document as the main window's "Start rendering" draws it,
// on a canvas of pixelSize pixels in the document's background colour, every
// document unit zoom canvas units long (1, as after start-up or a resize),
// with the random numbers from random. The document must be renderable.
QImage renderDocumentPicture(FractalDocument document, QSize pixelSize, RandomGenerator &random, float zoom = 1.0f,
                             const RunControl &run = {});

} // namespace Vorlane
