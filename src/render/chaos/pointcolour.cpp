#include "render/chaos/pointcolour.h"

#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "document/colourstyles.h"
#include "document/fractaldocument.h"

#include <algorithm>

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

qint32 pointColour(const FractalDocument &document, qint64 totalPoints, RandomGenerator &random, qint64 pointNumber,
                   qint16 cir)
{
    const float drawn = colourDraws(document) > 0 ? random.next() : 0.0f;
    return colourOfDrawn(document, totalPoints, drawn, pointNumber, cir);
}

qint32 colourOfDrawn(const FractalDocument &document, qint64 totalPoints, float drawn, qint64 pointNumber, qint16 cir)
{
    const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
    if (!style)
        return 0;
    const ColourScheme &colours = document.colours;
    switch (style->rule) {
    case ColourRule::BlendByIteration:
        return blendColours(colours.colour1, colours.colour2,
                            toSingle(double(cir) / double(document.settings.resolution)));
    case ColourRule::BlendAtRandom:
        return blendColours(colours.colour1, colours.colour2, drawn);
    case ColourRule::BlendByPointNumber:
        return blendColours(colours.colour1, colours.colour2, toSingle(double(pointNumber) / double(totalPoints)));
    case ColourRule::PickAtRandom:
        return drawn <= 0.5f ? colours.colour1 : colours.colour2;
    }
    return 0;
}

int colourDraws(const FractalDocument &document)
{
    const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
    return style ? style->randomDraws : 0;
}

PointColours::PointColours(const FractalDocument &document, qint64 totalPoints)
    : m_document(document)
    , m_totalPoints(totalPoints)
{
    const ColourStyleEntry *style = colourStyleEntry(document.colours.colourStyle);
    if (!style || style->rule != ColourRule::BlendByIteration)
        return;
    // The rule draws no random number and reads no point number.
    RandomGenerator untouched;
    m_byIteration.resize(std::size_t(document.settings.resolution));
    for (qint16 cir = 0; cir < document.settings.resolution; ++cir)
        m_byIteration[std::size_t(cir)] = pointColour(document, totalPoints, untouched, 0, cir);
}

void PointColours::colours(qint64 first, qint16 firstCir, const float *drawn, int stride, qint32 count,
                           qint32 *colours) const
{
    if (!m_byIteration.empty()) {
        std::copy_n(m_byIteration.begin() + firstCir, count, colours);
        return;
    }
    for (qint32 i = 0; i < count; ++i)
        colours[i] = colourOfDrawn(m_document, m_totalPoints, drawn[i * stride], first + i, qint16(firstCir + i));
}

} // namespace Vorlane
