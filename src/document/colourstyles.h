#pragma once

#include "document/fractaldocument.h"

#include <QtGlobal>

#include <array>

namespace Vorlane {

// One colour style: its number in the document, how the colour dialog offers
// it, and what the renderer may rely on.
struct ColourStyleEntry
{
    ColourStyle style;
    const char *caption; // translated in the colour dialog's context
    const char *toolTip;
    // The colour depends only on the iterations since the last restart, so a
    // rendering can work each one out once.
    bool byIterationOnly;
    // Random numbers a point's colour takes from the program's generator.
    int randomDraws;
};

// The styles in the order of their numbers, as the colour dialog shows them.
inline constexpr std::array<ColourStyleEntry, 4> colourStyles{{
    {RadiatingColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Radiating Color"),
     "Colours radiating out from base field", true, 0},
    {RandomColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Random Color"),
     "Random colour of points, colours being those between Colour1 and Colour2", false, 1},
    {ChronologicalColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Chronological Color"),
     "As the fractal structure is plotted you can see colours gradually changing with time", false, 0},
    {TwoColoursOnly, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Two Colors Only"),
     "Random colour of points, colours being Colour1 and Colour2 only", false, 1},
}};

// The entry of colourStyle, or none for a number no style has (a file may
// hold any).
constexpr const ColourStyleEntry *colourStyleEntry(qint32 colourStyle)
{
    for (const ColourStyleEntry &entry : colourStyles) {
        if (entry.style == colourStyle)
            return &entry;
    }
    return nullptr;
}

} // namespace Vorlane
