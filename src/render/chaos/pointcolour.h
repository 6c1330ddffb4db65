#pragma once

#include <QtGlobal>

namespace Vorlane {

class RandomGenerator;
struct FractalDocument;

// The colour of point number a (1 to totalPoints), cir iterations after the
// last restart from the base field, by the document's colourStyle:
// 1 blends colour1 into colour2 by cir / resolution, 2 by a random number,
// 3 by a / totalPoints; 4 picks colour1 or colour2 at random; any other style
// gives black. Styles 2 and 4 draw one number from random. Where the point
// lies and which base point the run started from play no part.
qint32 pointColour(const FractalDocument &document, RandomGenerator &random, qint32 a, qint16 cir);

// pointColour with the style's random number, if it takes one, drawn beforehand.
qint32 colourOfDrawn(const FractalDocument &document, float drawn, qint32 a, qint16 cir);

// The blend of two colours component by component: Int(C1 + (C2 − C1) × t),
// rounding down, so colour2 is reached only at t = 1.
qint32 blendColours(qint32 colour1, qint32 colour2, float t);

} // namespace Vorlane
