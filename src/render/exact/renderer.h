#pragma once

#include "render/exact/chainlanes.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>

namespace Vorlane {

class RandomGenerator;
class RasterCanvas;
struct FractalDocument;

// A point to plot: its position in canvas units (origin top left, Y down) and
// its colour, red + 256 × green + 65536 × blue.
struct PlottedPoint
{
    float x;
    float y;
    qint32 colour;
};

// Where a run puts its points. Points come in batches, in the order in which
// they are computed; every batch is handed over before the progress step that
// follows it.
class RenderTarget
{
public:
    virtual ~RenderTarget() = default;
    virtual void plot(const PlottedPoint *points, qsizetype count) = 0;
    // Called after every progressStep(totalPoints) points with the number of
    // steps done so far, 1 for the first.
    virtual void progressStepDone(qint32 stepsDone) = 0;
};

// Why the document cannot be rendered, as a sentence for the user, or an
// empty text when it can: a resolution below 1, no base point, more base
// points than 16-bit numbers can count, or more than 50 transformations.
QString renderProblem(const FractalDocument &document);

// Points per progress-bar step: totalPoints / 60 rounded down, at least 1.
qint32 progressStep(qint32 totalPoints);

// Renders the document by random iteration onto a canvas of scale width W and
// scale height H: totalPoints points, every resolution-th one restarting from
// a random base point. The document must be renderable (renderProblem empty).
// A point that would leave the 16-bit range is held at its limit. Every
// stepping gives the same points.
void renderFractal(const FractalDocument &document, float scaleWidth, float scaleHeight,
                   RandomGenerator &random, RenderTarget &target,
                   ChainStepping stepping = fastestChainStepping());

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

// How many random numbers a run of the document draws in the iterations
// before the given one: one per choice of transformation, one per restart
// and one per colour in the random styles.
qint64 randomDrawsBefore(const FractalDocument &document, qint64 iteration);

// One stretch of a run onto target, random standing where the run has it
// before stretch.first and selected being the transformation chosen last
// before it (0 for none). renderFractal is the stretch of the whole run; the
// progress steps are counted from the run's first iteration.
void renderStretch(const FractalDocument &document, float scaleWidth, float scaleHeight, Stretch stretch,
                   int selected, RandomGenerator &random, RenderTarget &target,
                   ChainStepping stepping = fastestChainStepping());

// How a run onto a canvas is carried out. Whatever the threads, the picture
// and the random sequence after it are those of renderFractal.
struct PictureRun
{
    int threads = 0; // 0: one for every core
    // Fewer points than this per thread are not worth a thread of their own.
    qint64 pointsPerThread = 200000;
    // Called on the calling thread as RenderTarget::progressStepDone is, at
    // most a few milliseconds late.
    std::function<void(qint32 stepsDone)> onProgress;
    // When it turns true the run stops soon, keeping what it has drawn.
    const std::atomic<bool> *stop = nullptr;
    // Changes the speed, never a pixel.
    ChainStepping stepping = fastestChainStepping();
};

// Renders the document onto what the canvas draws on, its scale width and
// height being W and H. A stopped run leaves random where the whole run
// would have left it, so what follows does not depend on when it stopped.
// True when the run went to its end.
bool renderPicture(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random,
                   const PictureRun &run = {});

} // namespace Vorlane
