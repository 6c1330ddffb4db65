#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

namespace Vorlane {

class RandomGenerator;
struct FractalDocument;

// The picture of a document rendered as the main canvas would, on a canvas of
// pixelSize in the document's background colour: every document unit drawn
// zoom canvas units long, the canvas point centre (in canvas units from the
// fractal's origin) at the middle. The document must be renderable.
QImage renderFractalPicture(FractalDocument document, QSize pixelSize, float zoom, QPoint centre,
                            RandomGenerator &random);

} // namespace Vorlane
