#include "convert/ifsconversion.h"

#include "document/canvasunits.h"
#include "common/rounding.h"
#include "document/colour.h"

#include <QFileInfo>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace Vorlane {

namespace {

// The main canvas's background when the program starts.
constexpr qint32 startupBackColour = rgbColour(254, 253, 245);

// Enough images of the fixed points to find the attractor's extremes, which
// lie at or near the images of fixed points under short sequences of maps.
constexpr qsizetype boundsPointBudget = 100000;

// Far beyond any useful map, and well inside what the arithmetic and a
// 32-bit float hold.
constexpr double coefficientLimit = 1e9;

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
    return QStringLiteral("block '%1', map %2 (line %3)").arg(block.name).arg(index + 1).arg(block.maps.at(index).line);
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

QPointF apply(const AffineMap &map, QPointF point)
{
    return {map.a * point.x() + map.b * point.y() + map.e, map.c * point.x() + map.d * point.y() + map.f};
}

// The bounds of the attractor: the fixed points of the maps and their images
// under every sequence of maps as long as the budget allows.
QRectF attractorBounds(const QList<AffineMap> &maps)
{
    QList<QPointF> level;
    for (const AffineMap &map : maps) {
        double x = 0.0;
        double y = 0.0;
        if (fixedPoint(map, x, y))
            level.append({x, y});
    }
    if (level.isEmpty())
        level.append({0.0, 0.0});
    double left = level.first().x(), right = left, bottom = level.first().y(), top = bottom;
    qsizetype used = 0;
    while (!level.isEmpty()) {
        for (const QPointF &point : std::as_const(level)) {
            left = std::min(left, point.x());
            right = std::max(right, point.x());
            bottom = std::min(bottom, point.y());
            top = std::max(top, point.y());
        }
        used += level.size();
        if (used + level.size() * maps.size() > boundsPointBudget)
            break;
        QList<QPointF> next;
        next.reserve(level.size() * maps.size());
        for (const AffineMap &map : maps) {
            for (const QPointF &point : std::as_const(level))
                next.append(apply(map, point));
        }
        level = std::move(next);
    }
    return QRectF(QPointF(left, bottom), QPointF(right, top));
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
    double probabilities = 0.0;
    double weights = 0.0;
    for (int i = 0; i < block.maps.size(); ++i) {
        probabilities += block.maps.at(i).probability;
        weights += transformationWeight(transformations.at(i));
    }
    QStringList notes;
    for (int i = 0; i < block.maps.size() && probabilities > 0.0; ++i) {
        const double given = block.maps.at(i).probability / probabilities;
        const double weighted = weights > 0.0 ? transformationWeight(transformations.at(i)) / weights : 0.0;
        if (std::abs(given - weighted) > probabilityTolerance)
            notes.append(QStringLiteral("%1: picked with probability %2 instead of %3, since Vorlane weights a map "
                                        "by its area (|cx·cy|)")
                             .arg(mapLabel(block, i))
                             .arg(weighted, 0, 'f', 3)
                             .arg(given, 0, 'f', 3));
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
    if (name.isEmpty())
        return blocks.value(0);
    for (const IfsBlock &block : blocks) {
        if (block.name.compare(name, Qt::CaseInsensitive) == 0)
            return block;
    }
    return std::nullopt;
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
    {
        m_result.document = startupDocument(0.0f, 0.0f, startupBackColour);
        m_result.document.transformations.clear();
    }

    std::variant<IfsImport, QString> run()
    {
        if (m_block.maps.isEmpty())
            return QStringLiteral("block '%1' has no maps").arg(m_block.name);
        QString refusal = fitLinearParts();
        if (refusal.isEmpty()) {
            const QRectF bounds = attractorBounds(pickedMaps());
            const double scale = m_options.keepScale ? exchangeUnit() : fittingScale(bounds);
            refusal = addTransformations(scale);
            if (refusal.isEmpty())
                refusal = place(bounds, scale);
        }
        if (!refusal.isEmpty())
            return refusal;
        m_result.notes += probabilityNotes(m_block, m_result.document.transformations);
        return m_result;
    }

private:
    QString fitLinearParts()
    {
        QStringList shears;
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
                if (m_options.approximate)
                    m_result.notes.append(QStringLiteral("%1: exact").arg(mapLabel(m_block, i)));
                continue;
            }
            shears.append(QStringLiteral("%1: its axes meet at %2 degrees, not at a right angle, so the map "
                                         "shears; a Vorlane map only scales along the axes and rotates")
                              .arg(mapLabel(m_block, i))
                              .arg(axesAngle(map), 0, 'f', 3));
            m_result.notes.append(QStringLiteral("%1: approximated, a, b, c and d move by at most %2")
                                      .arg(mapLabel(m_block, i))
                                      .arg(part.error, 0, 'g', 4));
        }
        if (m_options.approximate || shears.isEmpty())
            return QString();
        return shears.join(QLatin1Char('\n')) + QStringLiteral("\n(--approximate takes the nearest map Vorlane can hold)");
    }

    // The maps the renderer ever picks: those of a weight above 0.
    QList<AffineMap> pickedMaps() const
    {
        QList<AffineMap> picked;
        for (int i = 0; i < m_parts.size(); ++i) {
            if (double(m_parts.at(i).contractionX) * double(m_parts.at(i).contractionY) != 0.0)
                picked.append(m_drawn.at(i));
        }
        return picked;
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
    QString place(const QRectF &bounds, double scale)
    {
        FractalDocument &document = m_result.document;
        const std::optional<QPoint> centre = wholePoint(bounds.center() * scale);
        if (!centre)
            return QStringLiteral("block '%1': the attractor lies too far out for the view centre").arg(m_block.name);
        document.centreX = qint16(centre->x());
        document.centreY = qint16(centre->y());
        if (m_options.baseField) {
            document.basePoints = *m_options.baseField;
            return document.basePoints.isEmpty() ? QStringLiteral("the base field to copy has no points") : QString();
        }
        double x = 0.0;
        double y = 0.0;
        const QPointF start = fixedPoint(m_drawn.first(), x, y) ? QPointF(x, y) : QPointF();
        const std::optional<QPoint> base = wholePoint(start * scale);
        if (!base)
            return QStringLiteral("%1: its fixed point lies too far out for a base point").arg(mapLabel(m_block, 0));
        document.basePoints = {{qint16(base->x()), qint16(base->y())}};
        return QString();
    }

    const IfsBlock &m_block;
    const IfsImportOptions &m_options;
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
