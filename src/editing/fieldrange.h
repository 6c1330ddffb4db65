#pragma once

#include "surroundings/programstate.h"

#include <QString>

namespace Vorlane {

struct FractalDocument;

// The capture steps its grid by 10 in 16 bits: its last column and row must
// lie at or below this, so that the step after them still fits.
constexpr int lastSampledGridLine = 32757;

// Grows the range over every base point and the end of every translation
// vector. The minima restart from the first base point; the maxima are never
// lowered. With no base points the range's own values are the start, and
// with no transformations the translation extremes are 0. Limits beyond the
// 16-bit range are held at it.
void detectFieldRange(FieldRange &range, const FractalDocument &document);

// Widens each axis spanning fewer than 500 units by 100 units on both sides;
// a limit that would leave the 16-bit range stops at its end.
void widenFieldRange(FieldRange &range);

// The four limits as the range window shows them: display values, that is
// X × scaleX and Y × scaleY.
struct FieldRangeTexts
{
    QString xMax;
    QString yMax;
    QString xMin;
    QString yMin;
};

FieldRangeTexts fieldRangeTexts(const FieldRange &range, float scaleX, float scaleY);

// Typed limits read back into document units: each divided by its scale and
// rounded half to even. A range the editor and the capture cannot work with
// is refused: problem then says why, for the user, and range is not to be
// used. Refused are a limit that does not round into 16 bits, a minimum above
// its maximum, an axis spanning more than 32767 units and a range whose
// last sampled column or row would pass lastSampledGridLine.
struct FieldRangeReading
{
    FieldRange range;
    QString problem;
};

FieldRangeReading readFieldRange(const FieldRangeTexts &texts, float scaleX, float scaleY);

} // namespace Vorlane
