#include "app/startuppicture.h"

#include "common/randomgenerator.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/exact/documentpicture.h"

namespace Vorlane {

namespace {

Transformation map(float contraction, float rotation, float translationX, float translationY)
{
    return Transformation{paddedTrName(QString()), {contraction, contraction}, rotation, {translationX, translationY}};
}

// A stem turned about the origin into a spiral, with a smaller spiral at
// either end of it.
FractalDocument spiral()
{
    FractalDocument document;
    document.transformations = {
        map(0.9f, 20.0f, 0.0f, 0.0f),
        map(0.4f, -30.0f, 1300.0f, 300.0f),
        map(0.4f, 150.0f, -1300.0f, -300.0f),
    };
    for (qint16 k = 1; k <= 400; ++k)
        document.basePoints.append(BasePoint{0, k});
    document.settings = RenderSettings{150000, 24, 0.0f, 0.0f};
    document.colours = ColourScheme{RadiatingColour, rgbColour(250, 200, 80), rgbColour(40, 90, 220), rgbColour(12, 16, 40)};
    document.centreY = -450; // room for two lines of text below
    return document;
}

} // namespace

QImage startupPicture(QSize pixelSize)
{
    // A generator of its own: the splash leaves the program's random sequence,
    // and so the user's pictures, as they would be without it.
    RandomGenerator random;
    return renderDocumentPicture(spiral(), pixelSize, random);
}

} // namespace Vorlane
