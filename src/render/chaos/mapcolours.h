#pragma once

#include <QRgb>

namespace Vorlane {

// The colour that marks the map transformations[mapIndex] wherever maps are
// shown apart (frames over the picture, pictures coloured by map). Hues step
// by the golden angle, so any few neighbouring maps differ clearly and all 50
// a document can hold stay distinct; brightness alternates in threes so that
// maps whose hues come close again still differ. Opaque; the same for an index
// in every run. An index outside 0 to 49 wraps around.
QRgb mapColour(int mapIndex);

} // namespace Vorlane
