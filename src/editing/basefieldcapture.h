#pragma once

#include "document/fractaldocument.h"
#include "surroundings/programstate.h"

#include <QList>

#include <functional>

namespace Vorlane {

class RandomGenerator;
class RasterCanvas;

// The grid the capture samples, in document units.
constexpr int captureGridStep = 10;

struct BaseFieldCapture
{
    QList<BasePoint> points;     // column by column, x ascending, y ascending within a column
    bool stoppedAtLimit = false; // more ink than maxBasePoints: the rest was not sampled
};

// Samples the drawing area on a 10-unit grid from the range's minima up to
// width and height units beyond them, and keeps the document position of
// every grid point whose pixel is exactly black. The area is in area
// coordinates: u = x − fieldXMin, v = height − (y − fieldYMin); a grid point
// outside its image finds nothing. After every column three numbers are drawn
// from random and handed, as the colour of the progress strip, to
// columnDone. The capture stops at maxBasePoints points.
BaseFieldCapture captureBaseField(const RasterCanvas &area, const FieldRange &range, float width, float height,
                                  RandomGenerator &random, const std::function<void(qint32 colour)> &columnDone);

} // namespace Vorlane
