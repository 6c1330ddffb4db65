#pragma once

#include "document/colour.h"
#include "render/exact/chainlanes.h"

#include <QRgb>
#include <QtGlobal>

#include <vector>

namespace Vorlane {

struct FractalDocument;

namespace exact {

// The opaque canvas pixel of a colour.
inline QRgb rgbOf(qint32 colour)
{
    return 0xff000000u | (quint32(colourRed(colour)) << 16) | (quint32(colourGreen(colour)) << 8)
        | quint32(colourBlue(colour));
}

// The canvas pixels of a run's points in the colours pointColour gives
// them, many points at a time: eight at a time in vector lanes where the
// stepping has them, with the same results bit for bit.
class PixelColours
{
public:
    PixelColours(const FractalDocument &document, qint64 totalPoints, ChainStepping stepping);

    // The pixels of count points from number first on, restarts and all (a
    // point's iterations since the last restart are its number modulo the
    // resolution); drawn[i] is point i's random number in the styles that
    // take one.
    void pixels(qint64 first, const float *drawn, qint32 count, QRgb *pixels) const;

private:
    const FractalDocument &m_document;
    const qint64 m_totalPoints;
    const ChainStepping m_stepping;
    std::vector<QRgb> m_byIteration; // for the style that blends by cir alone
};

} // namespace exact
} // namespace Vorlane
