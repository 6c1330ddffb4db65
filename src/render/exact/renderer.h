#pragma once

#include "render/chaos/runcontrol.h"

#include <QList>
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

// The iterations first to last of a run, numbered from 1.
struct Stretch
{
    qint64 first;
    qint64 last;

    bool operator==(const Stretch &) const = default;
};

// Iterations 1 to totalPoints cut into at most parts stretches of
// about equal length. Each but the first begins at a restart (a multiple of
// resolution), so no stretch needs a point of another.
QList<Stretch> planStretches(qint64 totalPoints, qint16 resolution, int parts);

// Iterations 1 to totalPoints cut at every progress step: stretch k ends
// where the first restart after k progress steps begins, so it holds the
// points of those steps and fewer than resolution more.
QList<Stretch> planProgressStretches(qint64 totalPoints, qint16 resolution);

// How many random numbers a run of the document draws in the iterations
// before the given one: one per choice of transformation, one per restart
// and one per colour in the random styles.
qint64 randomDrawsBefore(const FractalDocument &document, qint64 iteration);

// Renders the document by random iteration onto what the canvas draws on,
// its scale width and height being W and H: totalPoints points, every
// resolution-th one restarting from a random base point, each point where
// ChaosChain puts it and ViewTransform places it, whatever the threads, and
// random left where the serial run leaves it. A stopped run leaves random
// where the whole run would have left it, so what follows does not depend
// on when it stopped. The document must be renderable (renderProblem
// empty). True when the run went to its end.
bool renderPicture(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random,
                   const RunControl &run = {});

} // namespace Vorlane
