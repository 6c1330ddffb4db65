#include "convert/ifsconversion.h"

#include "document/canvasunits.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "convert/attractor.h"

#include <QFileInfo>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace Vorlane {

namespace {

// The main canvas's background when the program starts.
constexpr qint32 startupBackColour = rgbColour(254, 253, 245);

// Far beyond any useful map, and well inside what the arithmetic and a
// 32-bit float hold.
constexpr double coefficientLimit = 1e9;

// The weight all flattened maps share when no map has an area to measure
// theirs against: small enough that their contractions stay far below a pixel.
constexpr double flatMapsWeight = 1e-6;

bool withinLimit(const AffineMap &map)
{
    for (const double value : {map.a, map.b, map.c, map.d, map.e, map.f}) {
        if (!(std::abs(value) <= coefficientLimit))
            return false;
    }
    return true;
}

QString mapLabel(const IfsBlock &block, int index)
{
    return QStringLiteral("block '%1', map %2 (line %3)")
        .arg(escapedControls(block.name))
        .arg(index + 1)
        .arg(block.maps.at(index).line);
}

AffineMap drawnMap(const LinearPart &part, const AffineMap &map)
{
    Transformation held;
    held.contraction = {part.contractionX, part.contractionY};
    held.rotation = part.rotation;
    AffineMap drawn = affineMap(held, 1.0);
    drawn.e = map.e;
    drawn.f = map.f;
    return drawn;
}

double weight(const LinearPart &part)
{
    return std::abs(double(part.contractionX) * double(part.contractionY));
}

// The file's probabilities as shares of their sum, which may be beyond what
// a double holds.
QList<double> probabilityShares(const IfsBlock &block)
{
    double largest = 0.0;
    for (const IfsMap &map : block.maps)
        largest = std::max(largest, map.probability);
    double sum = 0.0;
    for (const IfsMap &map : block.maps)
        sum += largest > 0.0 ? map.probability / largest : 0.0;
    QList<double> shares;
    for (const IfsMap &map : block.maps)
        shares.append(sum > 0.0 ? map.probability / largest / sum : 0.0);
    return shares;
}

// Canvas units per exchange unit that make the bounds fill the start-up
// canvas but for the margin.
double fittingScale(const QRectF &bounds)
{
    const QSize canvas = startupCanvasSize() * canvasUnitsPerPixel;
    const double usable = 1.0 - 2.0 * fitMargin;
    double scale = std::numeric_limits<double>::infinity();
    if (bounds.width() > 0.0)
        scale = std::min(scale, usable * canvas.width() / bounds.width());
    if (bounds.height() > 0.0)
        scale = std::min(scale, usable * canvas.height() / bounds.height());
    return std::isfinite(scale) ? scale : exchangeUnit();
}

// The point in canvas units as a base point or view centre, if it fits 16 bits.
std::optional<QPoint> wholePoint(QPointF point)
{
    if (!fitsInt16(point.x()) || !fitsInt16(point.y()))
        return std::nullopt;
    return QPoint(cint16(point.x()), cint16(point.y()));
}

QStringList probabilityNotes(const IfsBlock &block, const QList<Transformation> &transformations)
{
    const QList<double> shares = probabilityShares(block);
    double weights = 0.0;
    for (const Transformation &transformation : transformations)
        weights += transformationWeight(transformation);
    QStringList notes;
    for (int i = 0; i < block.maps.size(); ++i) {
        const double weighted = weights > 0.0 ? transformationWeight(transformations.at(i)) / weights : 0.0;
        if (transformationWeight(transformations.at(i)) == 0.0 && shares.at(i) > 0.0)
            notes.append(QStringLiteral("%1: never picked, though the file gives it probability %2, since Vorlane "
                                        "weights a map by its area (|cx·cy|) and this map flattens the picture "
                                        "to a line; --approximate widens it just enough to keep its probability")
                             .arg(mapLabel(block, i))
                             .arg(shares.at(i), 0, 'g', 3));
        else if (std::abs(shares.at(i) - weighted) > probabilityTolerance)
            notes.append(QStringLiteral("%1: picked with probability %2 instead of %3, since Vorlane weights a map "
                                        "by its area (|cx·cy|)")
                             .arg(mapLabel(block, i))
                             .arg(weighted, 0, 'f', 3)
                             .arg(shares.at(i), 0, 'f', 3));
    }
    return notes;
}

} // namespace

QString ifsBlockName(const QString &filePath)
{
    QString name = QFileInfo(filePath).completeBaseName().simplified();
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return name.isEmpty() ? QStringLiteral("fractal") : name;
}

IfsBlock ifsBlock(const FractalDocument &document, const QString &name)
{
    double weights = 0.0;
    for (const Transformation &transformation : document.transformations)
        weights += transformationWeight(transformation);
    IfsBlock block{name, 0, {}};
    for (const Transformation &transformation : document.transformations) {
        const double probability = weights > 0.0 ? transformationWeight(transformation) / weights : 0.0;
        block.maps.append({affineMap(transformation, exchangeUnit()), probability, 0});
    }
    return block;
}

QByteArray documentIfsText(const FractalDocument &document, const QString &name, const QString &sourceFileName)
{
    const QStringList comments{
        QStringLiteral("%1, written by vorlane-convert %2 from %3.")
            .arg(name, QStringLiteral(VORLANE_VERSION), sourceFileName),
        QStringLiteral("x' = a x + b y + e, y' = c x + d y + f; one unit is the start-up canvas's height; Y up."),
        QStringLiteral("a b c d e f p")};
    return writeIfsText({ifsBlock(document, name)}, comments);
}

std::optional<IfsBlock> ifsBlockNamed(const QList<IfsBlock> &blocks, const QString &name)
{
    if (name.isEmpty()) {
        const auto drawable = std::find_if(blocks.cbegin(), blocks.cend(), [](const IfsBlock &block) {
            return !block.threeD;
        });
        return drawable != blocks.cend() ? *drawable : blocks.value(0);
    }
    for (const IfsBlock &block : blocks) {
        if (block.name.compare(name, Qt::CaseInsensitive) == 0)
            return block;
    }
    return std::nullopt;
}

QString exportProblem(const FractalDocument &document)
{
    if (document.transformations.isEmpty())
        return QStringLiteral("it has no maps");
    for (int i = 0; i < document.trCount(); ++i) {
        const Transformation &tr = document.transformations.at(i);
        for (const float value : {tr.contraction[0], tr.contraction[1], tr.rotation, tr.translation[0],
                                  tr.translation[1]}) {
            if (!std::isfinite(value))
                return QStringLiteral("its map %1 holds %2, which is not a finite number").arg(i + 1).arg(value);
        }
    }
    return QString();
}

namespace {

// One block on its way to a document; each step returns why it cannot go
// on, or an empty text.
class BlockImport
{
public:
    BlockImport(const IfsBlock &block, const IfsImportOptions &options)
        : m_block(block)
        , m_options(options)
        , m_shares(probabilityShares(block))
    {
        m_result.document = startupDocument(0.0f, 0.0f, startupBackColour);
        m_result.document.transformations.clear();
    }

    std::variant<IfsImport, QString> run()
    {
        if (m_block.threeD)
            return QStringLiteral("block '%1' is marked (3D): its maps are three-dimensional, and Vorlane draws "
                                  "two-dimensional fractals only")
                .arg(escapedControls(m_block.name));
        if (m_block.maps.isEmpty())
            return QStringLiteral("block '%1' has no maps").arg(escapedControls(m_block.name));
        QString refusal = fitLinearParts();
        if (refusal.isEmpty()) {
            if (m_options.approximate)
                widenFlatMaps();
            const Attractor attractor = locateAttractor(mapsForBounds());
            const double scale = m_options.keepScale ? exchangeUnit() : fittingScale(attractor.bounds);
            refusal = addTransformations(scale);
            if (refusal.isEmpty())
                refusal = place(attractor, scale);
            if (refusal.isEmpty())
                chooseResolution(attractor.bounds, scale);
        }
        if (!refusal.isEmpty())
            return refusal;
        m_result.notes += probabilityNotes(m_block, m_result.document.transformations);
        return m_result;
    }

private:
    QString fitLinearParts()
    {
        QStringList problems;
        for (int i = 0; i < m_block.maps.size(); ++i) {
            const AffineMap &map = m_block.maps.at(i).map;
            if (!withinLimit(map))
                return QStringLiteral("%1: a number beyond %2").arg(mapLabel(m_block, i)).arg(coefficientLimit);
            const LinearPart part = nearestLinearPart(map);
            if (std::max(std::abs(part.contractionX), std::abs(part.contractionY)) > 1.0f)
                return QStringLiteral("%1: it does not shrink, so the attractor has no bounds").arg(mapLabel(m_block, i));
            m_drawn.append(drawnMap(part, map));
            m_parts.append(part);
            if (isExact(part, map)) {
                if (m_options.approximate && !isFlatButProbable(i))
                    m_result.notes.append(QStringLiteral("%1: exact").arg(mapLabel(m_block, i)));
                continue;
            }
            problems.append(shears(part, map) ? shearProblem(i) : tinyContractionProblem(i));
            m_result.notes.append(QStringLiteral("%1: approximated, a, b, c and d move by at most %2")
                                      .arg(mapLabel(m_block, i))
                                      .arg(part.error, 0, 'g', 4));
        }
        if (m_options.approximate || problems.isEmpty())
            return QString();
        return problems.join(QLatin1Char('\n')) + QStringLiteral("\n(--approximate takes the nearest map Vorlane can hold)");
    }

    QString shearProblem(int index) const
    {
        return QStringLiteral("%1: its axes meet at %2 degrees, not at a right angle, so the map shears; a Vorlane "
                              "map only scales along the axes and rotates")
            .arg(mapLabel(m_block, index))
            .arg(axesAngle(m_block.maps.at(index).map), 0, 'f', 3);
    }

    QString tinyContractionProblem(int index) const
    {
        return QStringLiteral("%1: it shrinks by %2, too small for the 32-bit floats of a Vorlane map, which lose "
                              "their precision below about 1.2e-38")
            .arg(mapLabel(m_block, index))
            .arg(largestStretch(m_block.maps.at(index).map), 0, 'g', 3);
    }

    bool isFlatButProbable(int index) const { return weight(m_parts.at(index)) == 0.0 && m_shares.at(index) > 0.0; }

    // A map of no area is never picked. Its contraction along the flattened
    // axis (both, for a map to a point) becomes the least that gives it the
    // file's share of the weights.
    void widenFlatMaps()
    {
        double areaWeights = 0.0;
        double flatShares = 0.0;
        for (int i = 0; i < m_parts.size(); ++i) {
            areaWeights += weight(m_parts.at(i));
            flatShares += isFlatButProbable(i) ? m_shares.at(i) : 0.0;
        }
        const double total = areaWeights > 0.0 && flatShares < 1.0 ? areaWeights / (1.0 - flatShares) : flatMapsWeight;
        for (int i = 0; i < m_parts.size(); ++i) {
            if (!isFlatButProbable(i))
                continue;
            LinearPart &part = m_parts[i];
            const double wanted = m_shares.at(i) * total;
            const bool alongX = part.contractionX == 0.0f;
            const bool alongBoth = alongX && part.contractionY == 0.0f;
            const double other = alongBoth ? std::sqrt(wanted) : std::abs(double(alongX ? part.contractionY : part.contractionX));
            const float contraction = toSingle(std::min(1.0, wanted / other));
            if (alongX)
                part.contractionX = contraction;
            if (alongBoth || !alongX)
                part.contractionY = contraction;
            m_drawn[i] = drawnMap(part, m_block.maps.at(i).map);
            m_result.notes.append(QStringLiteral("%1: flattened to a line, so never picked; its contraction along %2 "
                                                 "is now %3, the least that gives it the file's probability %4")
                                      .arg(mapLabel(m_block, i),
                                           alongBoth ? QStringLiteral("X and Y") : alongX ? QStringLiteral("X")
                                                                                           : QStringLiteral("Y"))
                                      .arg(double(contraction), 0, 'g', 3)
                                      .arg(m_shares.at(i), 0, 'g', 3));
        }
    }

    // The maps the renderer ever picks, those of a weight above 0; all maps
    // when there are none, so that the view still shows where they lead.
    QList<AffineMap> mapsForBounds() const
    {
        QList<AffineMap> picked;
        for (int i = 0; i < m_parts.size(); ++i) {
            if (weight(m_parts.at(i)) > 0.0)
                picked.append(m_drawn.at(i));
        }
        return picked.isEmpty() ? m_drawn : picked;
    }

    QString addTransformations(double scale)
    {
        FractalDocument &document = m_result.document;
        for (int i = 0; i < m_parts.size(); ++i) {
            const double translationX = m_drawn.at(i).e * scale;
            const double translationY = m_drawn.at(i).f * scale;
            if (!(std::abs(translationX) <= coefficientLimit * exchangeUnit())
                || !(std::abs(translationY) <= coefficientLimit * exchangeUnit()))
                return QStringLiteral("%1: its translation is too large for a Vorlane map").arg(mapLabel(m_block, i));
            Transformation transformation;
            transformation.name = paddedTrName(QStringLiteral("Tr %1").arg(i + 1));
            transformation.contraction = {m_parts.at(i).contractionX, m_parts.at(i).contractionY};
            transformation.rotation = m_parts.at(i).rotation;
            transformation.translation = {toSingle(translationX), toSingle(translationY)};
            document.transformations.append(transformation);
        }
        document.trNameCounter = qint16(document.trCount() + 1);
        return QString();
    }

    // The view centred on the attractor; the base field.
    QString place(const Attractor &attractor, double scale)
    {
        FractalDocument &document = m_result.document;
        const std::optional<QPoint> centre = wholePoint(attractor.bounds.center() * scale);
        if (!centre)
            return QStringLiteral("block '%1': the attractor lies too far out for the view centre")
                .arg(escapedControls(m_block.name));
        document.centreX = qint16(centre->x());
        document.centreY = qint16(centre->y());
        if (m_options.baseField) {
            document.basePoints = *m_options.baseField;
            return document.basePoints.isEmpty() ? QStringLiteral("the base field to copy has no points") : QString();
        }
        const std::optional<QPoint> base = wholePoint(attractor.point * scale);
        if (!base)
            return QStringLiteral("block '%1': the attractor lies too far out for a base point")
                .arg(escapedControls(m_block.name));
        document.basePoints = {{qint16(base->x()), qint16(base->y())}};
        return QString();
    }

    // Enough steps between restarts for the slowest-shrinking map to bring
    // the whole picture below one pixel.
    void chooseResolution(const QRectF &bounds, double scale)
    {
        int slowest = -1;
        double stretch = 0.0;
        for (int i = 0; i < m_parts.size(); ++i) {
            // A rotation keeps lengths, so the larger contraction is the stretch.
            const double largest = std::max(std::abs(m_parts.at(i).contractionX), std::abs(m_parts.at(i).contractionY));
            if (weight(m_parts.at(i)) > 0.0 && largest > stretch) {
                slowest = i;
                stretch = largest;
            }
        }
        if (slowest < 0)
            return;
        const double pixels = std::hypot(bounds.width(), bounds.height()) * scale / canvasUnitsPerPixel;
        const double steps = pixels <= 1.0 ? 1.0 : stretch < 1.0 ? std::ceil(std::log(pixels) / -std::log(stretch))
                                                                   : std::numeric_limits<double>::infinity();
        const qint16 resolution = qint16(std::clamp(steps, double(minimumImportResolution),
                                                    double(std::numeric_limits<qint16>::max())));
        m_result.document.settings.resolution = resolution;
        QString note = QStringLiteral("resolution %1: %2 shrinks slowest, by %3 a step, and brings the %4-pixel "
                                      "picture below one pixel in %5 steps")
                           .arg(resolution)
                           .arg(mapLabel(m_block, slowest))
                           .arg(stretch, 0, 'g', 6)
                           .arg(pixels, 0, 'f', 0)
                           .arg(std::isfinite(steps) ? QString::number(steps, 'f', 0) : QStringLiteral("no number of"));
        if (steps < resolution)
            note += QStringLiteral(", and %1 are the fewest an imported fractal gets").arg(resolution);
        else if (steps > resolution)
            note += QStringLiteral(", and %1 are the most a document holds").arg(resolution);
        m_result.notes.append(note);
    }

    const IfsBlock &m_block;
    const IfsImportOptions &m_options;
    const QList<double> m_shares; // the file's probabilities, normalised
    QList<LinearPart> m_parts;
    QList<AffineMap> m_drawn; // the maps as the renderer applies them, in exchange units
    IfsImport m_result;
};

} // namespace

std::variant<IfsImport, QString> importIfsBlock(const IfsBlock &block, const IfsImportOptions &options)
{
    return BlockImport(block, options).run();
}

} // namespace Vorlane
