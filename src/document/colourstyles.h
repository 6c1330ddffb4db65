#pragma once

#include "document/fractaldocument.h"

#include <QtGlobal>

#include <array>

namespace Vorlane {

// How a style finds a point's colour: a blend of colour1 into colour2 by
// the iterations since the last restart, by a random number or by the point
// number, or colour1 or colour2 picked at random.
enum class ColourRule { BlendByIteration, BlendAtRandom, BlendByPointNumber, PickAtRandom };

// One colour style: its number in the document, how the colour dialog offers
// it, and what the renderer may rely on.
struct ColourStyleEntry
{
    ColourStyle style;
    const char *caption; // translated in the colour dialog's context
    const char *toolTip;
    ColourRule rule;
    // Random numbers a point's colour takes from the program's generator.
    int randomDraws;
};

// The styles in the order of their numbers, as the colour dialog shows them.
inline constexpr std::array<ColourStyleEntry, 4> colourStyles{{
    {RadiatingColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Radiating Color"),
     "Colours radiating out from base field", ColourRule::BlendByIteration, 0},
    {RandomColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Random Color"),
     "Random colour of points, colours being those between Colour1 and Colour2", ColourRule::BlendAtRandom, 1},
    {ChronologicalColour, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Chronological Color"),
     "As the fractal structure is plotted you can see colours gradually changing with time",
     ColourRule::BlendByPointNumber, 0},
    {TwoColoursOnly, QT_TRANSLATE_NOOP("Vorlane::ColourDialog", "Two Colors Only"),
     "Random colour of points, colours being Colour1 and Colour2 only", ColourRule::PickAtRandom, 1},
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
