#include "document/fractaldocument.h"

#include "document/colour.h"

#include <cmath>

namespace Vorlane {

QString paddedTrName(const QString &name)
{
    return name.left(trNameLength).leftJustified(trNameLength, QLatin1Char(' '));
}

double transformationWeight(const Transformation &transformation)
{
    // Two floats multiply exactly in 64 bits.
    return std::fabs(double(transformation.contraction[0]) * double(transformation.contraction[1]));
}

namespace {

Transformation startupTransformation(int number, float contraction, float rotation, float translationY)
{
    Transformation transformation;
    transformation.name = paddedTrName(QStringLiteral("Tr %1").arg(number));
    transformation.contraction = {contraction, contraction};
    transformation.rotation = rotation;
    transformation.translation = {0.0f, translationY};
    return transformation;
}

} // namespace

FractalDocument startupDocument(float scaleX, float scaleY, qint32 backColour)
{
    FractalDocument document;
    document.transformations = {
        startupTransformation(1, 0.6f, -10.0f, 2000.0f),
        startupTransformation(2, 0.45f, -40.0f, 1120.0f),
        startupTransformation(3, 0.5f, 30.0f, 1200.0f),
    };
    document.trNameCounter = 4;
    constexpr int stemLength = 2000;
    document.basePoints.reserve(stemLength);
    for (int k = 1; k <= stemLength; ++k)
        document.basePoints.append(BasePoint{0, qint16(k)});
    document.settings = RenderSettings{45000, 20, scaleX, scaleY};
    document.colours = ColourScheme{RadiatingColour, rgbColour(100, 50, 10), rgbColour(0, 255, 0), backColour};
    document.centreX = 0;
    document.centreY = 2000;
    return document;
}

void makeEmptyDocument(FractalDocument &document)
{
    document.transformations.clear();
    document.trNameCounter = 1;
    document.basePoints.resize(1); // an empty field gets the point (0, 0)
}

} // namespace Vorlane
