#include "render/chaos/pointcolour.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "document/colourstyles.h"
#include "document/fractaldocument.h"

namespace Vorlane {

namespace {

qint32 blendComponent(qint32 from, qint32 to, float t)
{
    const qint16 difference = qint16(to - from);
    return qint32(floorToInt(double(difference) * double(t) + double(from)));
}

} // namespace

qint32 blendColours(qint32 colour1, qint32 colour2, float t)
{
    const qint32 blue = blendComponent(colourBlue(colour1), colourBlue(colour2), t);
    const qint32 green = blendComponent(colourGreen(colour1), colourGreen(colour2), t);
    const qint32 red = blendComponent(colourRed(colour1), colourRed(colour2), t);
    return rgbColour(red, green, blue);
}

qint32 pointColour(const FractalDocument &document, RandomGenerator &random, qint32 a, qint16 cir)
{
    const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
    const float drawn = style && style->randomDraws > 0 ? random.next() : 0.0f;
    return colourOfDrawn(document, drawn, a, cir);
}

qint32 colourOfDrawn(const FractalDocument &document, float drawn, qint32 a, qint16 cir)
{
    const ColourScheme &colours = document.colours;
    switch (colours.colourStyle) {
    case RadiatingColour:
        return blendColours(colours.colour1, colours.colour2,
                            toSingle(double(cir) / double(document.settings.resolution)));
    case RandomColour:
        return blendColours(colours.colour1, colours.colour2, drawn);
    case ChronologicalColour:
        return blendColours(colours.colour1, colours.colour2,
                            toSingle(double(a) / double(document.settings.totalPoints)));
    case TwoColoursOnly:
        return drawn <= 0.5f ? colours.colour1 : colours.colour2;
    default:
        return 0;
    }
}

} // namespace Vorlane
