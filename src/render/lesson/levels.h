#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <vector>

namespace Vorlane {

class RasterCanvas;
struct FractalDocument;

// A point of a level in canvas units from the fractal's origin, Y up, as the
// exact renderer holds its points, with the map that put it there last
// (1 to trCount; 0 for a base point).
struct LevelPoint
{
    qint16 x;
    qint16 y;
    quint8 map;
};

// No level is drawn from more images than this, so that a level stays quick
// to show and to hold.
constexpr qint64 mostLevelImages = 2'000'000;
// Deeper levels than this hardly ever differ from the one before on a screen.
constexpr int deepestLevel = 20;

// The levels of a document: level 0 is its base field, level k the images of
// the base field under every composition of k of its maps, computed with the
// exact renderer's arithmetic (a 16-bit point after every map) and no random
// numbers. Each point appears once, coloured by the first map in the list
// that reaches it, in a fixed order, so the same document always gives the
// same levels.
class FractalLevels
{
public:
    // scaleWidth and scaleHeight are the canvas's W and H, as for a rendering;
    // levels are computed up to upTo.
    FractalLevels(const FractalDocument &document, float scaleWidth, float scaleHeight, int upTo = deepestLevel);

    // The deepest level computed: upTo, or less when the next level would
    // need more than mostLevelImages images.
    int highestLevel() const { return int(m_levels.size()) - 1; }
    // True when highestLevel stops short of upTo for lack of room.
    bool capped() const { return m_capped; }
    // Level k, 0 to highestLevel().
    const std::vector<LevelPoint> &level(int k) const { return m_levels.at(std::size_t(k)); }

private:
    std::vector<std::vector<LevelPoint>> m_levels;
    bool m_capped = false;
};

// Plots the points, one pixel each, where the exact renderer plots them on
// the canvas (the document's view centre and scale, 15 canvas units to a
// pixel), each in its map's colour and the base field in colour 1; points
// off the canvas are left out.
void drawLevel(const FractalDocument &document, const std::vector<LevelPoint> &points, RasterCanvas &canvas);

// Level k of the document as a picture of pixelSize pixels in the document's
// background colour, at the scale "Start rendering" draws at after start-up;
// a null picture, with the highest level there is in highest, when k lies
// beyond it.
QImage levelPicture(FractalDocument document, int level, QSize pixelSize, int *highest = nullptr);

} // namespace Vorlane
