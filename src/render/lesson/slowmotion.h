#pragma once

#include "common/randomgenerator.h"

#include <QPointF>
#include <QRectF>
#include <QtGlobal>

#include <array>
#include <memory>

namespace Vorlane {

class RasterCanvas;
struct FractalDocument;

// One point of a run as slow motion shows it.
struct RunStep
{
    qint64 number;   // 1 for the first point of the run
    float x;         // where the run plots it, in canvas units (origin top left, Y down)
    float y;
    qint32 colour;   // red + 256 × green + 65536 × blue
    int map;         // the map (1 to trCount) that moved the point before here; 0 for a base point
};

// Slow motion shows no more of a run than this, the first points.
constexpr qint64 mostSlowMotionPoints = 2'000'000;

// The first points of a rendering one at a time, exactly those "Start
// rendering" plots, in its order, from the same random numbers: all of them,
// or the first mostSlowMotionPoints. The document must be renderable.
class SlowMotionRun
{
public:
    SlowMotionRun(const FractalDocument &document, float scaleWidth, float scaleHeight, const RandomGenerator &random);
    ~SlowMotionRun();

    bool atEnd() const;
    // The next point; only before atEnd().
    RunStep next();

    struct Chain;

private:
    std::unique_ptr<Chain> m_chain;
    qint64 m_last;
    qint64 m_done = 0;
};

// "Colour by Map": the run of the document drawn onto the canvas, as large as
// its scale, exactly as renderPicture draws it but each point in the colour
// of the map that moved it there (mapColour), base points in colour 1.
// random then stands where renderPicture would leave it.
void drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random);

// The rectangle of canvas positions that the first points of the run reach,
// with a generator of its own: the picture's extent.
QRectF runExtent(const FractalDocument &document, float scaleWidth, float scaleHeight, const RandomGenerator &random,
                 qint64 points = 30000);

// Where a map (1 to trCount) puts a copy of the rectangle extent of canvas
// positions (canvas units, origin top left, Y down): the images of its four
// corners as canvas positions, the top-left corner's first, then clockwise.
std::array<QPointF, 4> mapFrame(const FractalDocument &document, int map, float scaleWidth, float scaleHeight,
                                const QRectF &extent);

} // namespace Vorlane
