#pragma once

#include "common/randomgenerator.h"
#include "render/chaos/runcontrol.h"

#include <QtGlobal>

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
// of the map that moved it there (mapColour), base points in colour 1, on
// this thread. random then stands where renderPicture would leave it, also
// when the run stops. Of run it takes stop, onProgress and onPrefixDrawn,
// each looked at once a progress step. True when the run went to its end.
bool drawRunByMap(const FractalDocument &document, RasterCanvas &canvas, RandomGenerator &random,
                  const RunControl &run = {});

} // namespace Vorlane
