#pragma once

#include <QtGlobal>

#include <vector>

namespace Vorlane {

class RandomGenerator;
struct FractalDocument;

// The colour of point number pointNumber (1 to totalPoints), cir iterations
// after the last restart from the base field, by the rule of the document's
// colour style (document/colourstyles.h): a blend of colour1 into colour2 by
// cir / resolution, by a random number or by pointNumber / totalPoints, or
// colour1 or colour2 picked at random; a number no style has gives black.
// The random rules draw one number from random. totalPoints is the run's:
// the document's in the window, the poster's own, which may pass 32 bits.
qint32 pointColour(const FractalDocument &document, qint64 totalPoints, RandomGenerator &random, qint64 pointNumber,
                   qint16 cir);

// pointColour with the style's random number, if it takes one, drawn
// beforehand (a batch of points draws them a block at a time).
qint32 colourOfDrawn(const FractalDocument &document, qint64 totalPoints, float drawn, qint64 pointNumber, qint16 cir);

// The random numbers a point's colour draws in the document's colour style.
int colourDraws(const FractalDocument &document);

// The blend of two colours component by component: Int(C1 + (C2 − C1) × t),
// rounding down, so colour2 is reached only at t = 1.
qint32 blendColours(qint32 colour1, qint32 colour2, float t);

// The colours of a run's points, pointColour's, with the colours of a style
// that depends only on the iterations since the last restart worked out once.
class PointColours
{
public:
    PointColours(const FractalDocument &document, qint64 totalPoints);

    qint32 colour(RandomGenerator &random, qint64 pointNumber, qint16 cir) const
    {
        return m_byIteration.empty() ? pointColour(m_document, m_totalPoints, random, pointNumber, cir)
                                     : m_byIteration[std::size_t(cir)];
    }

    // The random numbers each point's colour draws.
    int draws() const { return colourDraws(m_document); }

    // The colours of count points from number first on, from firstCir on
    // with no restart among them; drawn[i × stride] is point i's random
    // number in the styles that take one.
    void colours(qint64 first, qint16 firstCir, const float *drawn, int stride, qint32 count, qint32 *colours) const;

private:
    const FractalDocument &m_document;
    qint64 m_totalPoints;
    std::vector<qint32> m_byIteration;
};

} // namespace Vorlane
