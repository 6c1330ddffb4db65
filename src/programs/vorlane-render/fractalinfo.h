#pragma once

#include <QImage>
#include <QString>

namespace Vorlane {

struct FractalDocument;

// What vorlane-render --info prints: the maps with their contractions,
// rotations, translations and weights in percent, the dimension the maps
// give and the box-counting dimension measured on picture.
QString fractalInfo(const FractalDocument &document, const QImage &picture);

} // namespace Vorlane
