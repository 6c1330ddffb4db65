#pragma once

#include "render/chaos/runcontrol.h"
#include "render/exact/chainlanes.h"
#include "render/exact/stretches.h"

#include <QString>
#include <QtGlobal>

namespace Vorlane {

class RandomGenerator;
class RasterCanvas;
struct FractalDocument;

// Why the document cannot be rendered, as a sentence for the user, or an
// empty text when it can: a resolution below 1, no base point, more base
// points than 16-bit numbers can count, or more than 50 transformations.
QString renderProblem(const FractalDocument &document);

// Points per progress-bar step: totalPoints / 60 rounded down, at least 1.
qint32 progressStep(qint32 totalPoints);

// Renders the document by random iteration onto what the canvas draws on,
// its scale width and height being W and H: totalPoints points, every
// resolution-th one restarting from a random base point, each point where
// ChaosChain puts it and ViewTransform places it, whatever the threads, and
// random left where the serial run leaves it. A stopped run keeps what the
// serial run had drawn by some point and leaves random where the whole run
// would have left it, so what follows does not depend on when it stopped.
// The document must be renderable (renderProblem empty). True when the run
// went to its end. The stepping changes the speed, never a pixel.
bool renderPicture(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random,
                   const RunControl &run = {}, ChainStepping stepping = fastestChainStepping());

} // namespace Vorlane
