#pragma once

#include <QString>
#include <QtGlobal>

namespace Vorlane {

class RandomGenerator;
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
// A point that would leave the 16-bit range is held at its limit.
void renderFractal(const FractalDocument &document, float scaleWidth, float scaleHeight,
                   RandomGenerator &random, RenderTarget &target);

} // namespace Vorlane
