#pragma once

#include "document/colour.h"
#include "document/fractaldocument.h"

#include <QList>
#include <QString>

namespace Vorlane {

// The background of the documents the tools make: the program's own.
constexpr qint32 paper = rgbColour(254, 253, 245);

struct Map
{
    float contractionX;
    float contractionY;
    float rotation;
    float translationX;
    float translationY;
};

// Adds maps to document as transformations named "Tr 1", "Tr 2"..., and sets
// the name counter after them.
inline void addMaps(FractalDocument &document, const QList<Map> &maps)
{
    for (const Map &map : maps) {
        Transformation tr;
        tr.name = paddedTrName(QStringLiteral("Tr %1").arg(document.trCount() + 1));
        tr.contraction = {map.contractionX, map.contractionY};
        tr.rotation = map.rotation;
        tr.translation = {map.translationX, map.translationY};
        document.transformations.append(tr);
    }
    document.trNameCounter = qint16(document.trCount() + 1);
}

} // namespace Vorlane
