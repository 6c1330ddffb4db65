#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

namespace Vorlane {

// One affine map: contraction along the axes, then an anti-clockwise rotation
// in degrees, then a translation in document units.
struct Transformation
{
    QString name;                       // exactly trNameLength characters
    std::array<float, 2> contraction{}; // [0] along X, [1] along Y
    float rotation = 0.0f;              // degrees
    std::array<float, 2> translation{}; // [0] along X, [1] along Y

    bool operator==(const Transformation &) const = default;
};

constexpr int trNameLength = 8;
constexpr int maxTransformations = 50;
// Points are numbered with 16-bit signed integers by the renderer and the file.
constexpr int maxBasePoints = 32767;

// A name cut to, or padded with blanks to, exactly trNameLength characters.
QString paddedTrName(const QString &name);

// How likely a map is to be chosen, relative to the others: the area factor,
// the magnitude of the product of its two contractions, so that a mirrored
// map (a negative contraction) counts as much as its mirror image.
double transformationWeight(const Transformation &transformation);

struct BasePoint
{
    qint16 x = 0;
    qint16 y = 0; // document Y points up

    bool operator==(const BasePoint &) const = default;
};

struct RenderSettings
{
    qint32 totalPoints = 0;
    qint16 resolution = 0;
    // One document unit measures W × scaleX canvas units along X and H × scaleY
    // along Y, W and H being the main canvas's scale width and height.
    float scaleX = 0.0f;
    float scaleY = 0.0f;

    bool operator==(const RenderSettings &) const = default;
};

struct ColourScheme
{
    qint32 colourStyle = 0; // 1 radiating, 2 random, 3 chronological, 4 two colours
    qint32 colour1 = 0;
    qint32 colour2 = 0;
    qint32 backColour = 0;

    bool operator==(const ColourScheme &) const = default;
};

enum ColourStyle : qint32 {
    RadiatingColour = 1,
    RandomColour = 2,
    ChronologicalColour = 3,
    TwoColoursOnly = 4,
};

// The one document of the program: transformations 1 to trCount are
// transformations[0] to transformations[trCount - 1], base points 1 to
// basePointCount likewise.
struct FractalDocument
{
    QList<Transformation> transformations;
    qint16 trNameCounter = 0;
    QList<BasePoint> basePoints;
    RenderSettings settings;
    ColourScheme colours;
    qint16 centreX = 0; // canvas units
    qint16 centreY = 0;

    qint32 trCount() const { return qint32(transformations.size()); }
    qint32 basePointCount() const { return qint32(basePoints.size()); }

    bool operator==(const FractalDocument &) const = default;
};

// The document the program starts with: three maps growing a tree from a
// vertical stem of 2000 points.
FractalDocument startupDocument(float scaleX, float scaleY, qint32 backColour);

// New: no transformations, only base point 1 kept, the name counter back to 1;
// settings, colours and the view centre stay.
void makeEmptyDocument(FractalDocument &document);

} // namespace Vorlane
