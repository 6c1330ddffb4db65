#pragma once

#include <QByteArray>
#include <QString>

namespace Vorlane {

struct FractalDocument;

// Why the document cannot be a flame genome, or an empty text: the reasons
// of exportProblem (ifsconversion.h), or no map of an area above 0.
QString flameProblem(const FractalDocument &document);

// Pixels of the genome's picture per exchange unit: the start-up canvas's height.
double flamePixelsPerUnit();

// The document as a flame genome: one <flame> of the start-up canvas's size,
// centred on the document's view centre, with one linear <xform> per map
// (coefs "a c b d e f" of the map in exchange units, Y turned downwards as
// the genome's pictures count it, weight the map's normalised Vorlane
// weight), a 256-colour palette from the first point colour to the second,
// over which the maps' colour indices are spread, and quality and filter
// settings that keep a flame renderer's picture sharp. The document must
// have no flameProblem.
QByteArray flameGenome(const FractalDocument &document, const QString &name);

} // namespace Vorlane
