#pragma once

#include "render/chaos/runcontrol.h"
#include "render/poster/posteraccumulation.h"
#include "render/poster/posterlanes.h"
#include "render/poster/posterpalette.h"

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace Vorlane {

struct FractalDocument;

// The largest poster side in pixels.
constexpr int largestPosterSide = 32768;

// The random sequence of a poster is cut into pieces of this many points,
// numbered from 0; piece p draws from a generator of its own, seeded from the
// poster's seed and p, so a piece gives the same points whoever renders it.
constexpr qint64 posterPiecePoints = qint64(1) << 20;

// Number of pieces of a poster of points points.
qint64 posterPieceCount(qint64 points);

// A run of pieces, first included, end excluded.
struct PosterPieces
{
    qint64 first = 0;
    qint64 end = 0;

    bool operator==(const PosterPieces &) const = default;
};

// The pieces of part (1 to parts) when a poster of points points is cut into
// parts parts of nearly equal size; together the parts hold every piece once.
PosterPieces posterPart(qint64 points, int part, int parts);

// How a poster's points get their colours: by the document's colour style
// (its blend factor through the palette, unless the palette is the
// document's own colours), or by the maps that brought them there.
enum class PosterColourBy { Document, Map };

// The largest supersampling factor along each side.
constexpr int largestSupersample = 4;

// What shapes a poster's sums.
struct PosterSettings
{
    QSize size{2000, 2000};
    qint64 points = 20'000'000;
    std::uint32_t seed = 5489;
    // Magnifies the fitted view around its centre.
    double zoom = 1.0;
    // The point, in document units (Y up), shown at the middle; none for the
    // middle of the fitted view.
    std::optional<QPointF> centre;
    PosterPalette palette;
    PosterColourBy colourBy = PosterColourBy::Document;
    // Points after each restart from the base field left out of the sums.
    int skip = 0;
    // The sums are gathered at this many times the poster's size along each
    // side and filtered down when toned.
    int supersample = 1;

    bool operator==(const PosterSettings &) const = default;
};

// The size of the sums of a poster: its size times its supersampling.
QSize posterSumsSize(const PosterSettings &settings);

// Where the document's plane lies on the poster: the document point shown at
// the middle and the pixels per document unit, the same along X and Y.
struct PosterView
{
    double centreX = 0.0;
    double centreY = 0.0;
    double pixelsPerUnit = 1.0;
};

// The view that shows the whole fractal centred with a margin, found from a
// short run of its own (the same for a document and seed whatever the poster's
// point count), then moved by the settings' zoom and centre. The document
// must be renderable (renderProblem empty).
PosterView fitPosterView(const FractalDocument &document, const PosterSettings &settings);

// A checksum of the maps and weights as this machine works them out for a
// poster (sines and cosines come from the system's mathematics library):
// parts whose checksums differ would not add up to one machine's poster.
QByteArray posterArithmeticChecksum(const FractalDocument &document);

enum class PosterRunEnd { Finished, Cancelled, Failed };

struct PosterRunResult
{
    PosterRunEnd end = PosterRunEnd::Finished;
    QString error; // why it failed
    // Of a finished run; holds only for sums that were all 0 before it.
    PosterReach reach;
};

// The memory in bytes that accumulatePoster's workers take besides the sums
// for pieces of a poster of size and points points on threads threads (0:
// one per processor).
qint64 posterWorkerBytes(QSize size, qint64 points, PosterPieces pieces, int threads);


// Adds the points of pieces to the sums (of posterSumsSize), as seen through
// view: the maps in double precision, the weights |cx × cy|, a restart from a
// random base point every resolution-th point, the first skip points after
// it left out, each point coloured as the settings say and shared among its
// four nearest pixels in proportion to its distance from them. Coloured by
// map, a point's place c on the gradient moves halfway towards the place of
// each map that carries it, c = (c + c_map) / 2, the maps' places spread
// evenly from 0 (the first map) to 1 (the last), c starting at 1/2 at every
// restart. The document must be renderable. A run that is cancelled leaves
// the sums incomplete. Every stepping gives the same sums; the lanes of
// AVX-512 and AVX2 add the splats too.
PosterRunResult accumulatePoster(const FractalDocument &document, const PosterSettings &settings,
                                 const PosterView &view, PosterPieces pieces, PosterAccumulation &sums,
                                 const RunControl &control = {},
                                 PosterStepping stepping = fastestPosterStepping());

} // namespace Vorlane
