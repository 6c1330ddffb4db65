#include "editing/fieldrange.h"

#include "common/numbertext.h"
#include "common/rounding.h"
#include "document/fractaldocument.h"

#include <limits>

namespace Vorlane {

namespace {

constexpr int narrowestUnwidened = 500;
constexpr int widening = 100;
constexpr int largestSpan = std::numeric_limits<qint16>::max();

// A document value as the user reads it.
QString displayText(double units, float scale)
{
    return numToField(toSingle(units * double(scale))).trimmed();
}

void growToPoints(FieldRange &range, const QList<BasePoint> &points)
{
    if (points.isEmpty())
        return;
    range.fieldXMin = points.first().x;
    range.fieldYMin = points.first().y;
    for (const BasePoint &point : points) {
        range.fieldXMax = qMax(range.fieldXMax, point.x);
        range.fieldYMax = qMax(range.fieldYMax, point.y);
        range.fieldXMin = qMin(range.fieldXMin, point.x);
        range.fieldYMin = qMin(range.fieldYMin, point.y);
    }
}

void growToTranslations(FieldRange &range, const QList<Transformation> &transformations)
{
    float maxX = 0.0f;
    float maxY = 0.0f;
    float minX = transformations.isEmpty() ? 0.0f : transformations.first().translation[0];
    float minY = transformations.isEmpty() ? 0.0f : transformations.first().translation[1];
    for (const Transformation &transformation : transformations) {
        maxX = qMax(maxX, transformation.translation[0]);
        maxY = qMax(maxY, transformation.translation[1]);
        minX = qMin(minX, transformation.translation[0]);
        minY = qMin(minY, transformation.translation[1]);
    }
    if (float(range.fieldXMax) < maxX)
        range.fieldXMax = cint16(maxX);
    if (float(range.fieldYMax) < maxY)
        range.fieldYMax = cint16(maxY);
    if (float(range.fieldXMin) > minX)
        range.fieldXMin = cint16(minX);
    if (float(range.fieldYMin) > minY)
        range.fieldYMin = cint16(minY);
}

void widenAxis(qint16 &min, qint16 &max)
{
    if (int(max) - int(min) >= narrowestUnwidened)
        return;
    max = addInt16Saturated(max, widening);
    min = addInt16Saturated(min, -widening);
}

struct Limit
{
    const QString &text;
    float scale;
    qint16 &value;
    QString name;
};

QString readLimit(const Limit &limit)
{
    const double units = fieldToNum(limit.text) / double(limit.scale);
    if (!fitsInt16(units)) {
        return QStringLiteral("%1 must lie between %2 and %3.")
            .arg(limit.name, displayText(std::numeric_limits<qint16>::min(), limit.scale),
                 displayText(std::numeric_limits<qint16>::max(), limit.scale));
    }
    limit.value = cint16(units);
    return QString();
}

QString axisProblem(QChar axis, qint16 min, qint16 max, float scale)
{
    if (min > max)
        return QStringLiteral("%1-min must not lie above %1-max.").arg(axis);
    const int span = int(max) - int(min);
    if (span > largestSpan) {
        return QStringLiteral("%1-max may lie at most %2 above %1-min.").arg(axis).arg(displayText(largestSpan, scale));
    }
    const int lastSampled = int(min) + span / 10 * 10;
    if (lastSampled > lastSampledGridLine) {
        return QStringLiteral("The base field may reach no further than %2 along %1: lower %1-max or %1-min.")
            .arg(axis)
            .arg(displayText(lastSampledGridLine, scale));
    }
    return QString();
}

} // namespace

void detectFieldRange(FieldRange &range, const FractalDocument &document)
{
    growToPoints(range, document.basePoints);
    growToTranslations(range, document.transformations);
}

void widenFieldRange(FieldRange &range)
{
    widenAxis(range.fieldXMin, range.fieldXMax);
    widenAxis(range.fieldYMin, range.fieldYMax);
}

FieldRangeTexts fieldRangeTexts(const FieldRange &range, float scaleX, float scaleY)
{
    return {numToField(float(range.fieldXMax) * scaleX), numToField(float(range.fieldYMax) * scaleY),
            numToField(float(range.fieldXMin) * scaleX), numToField(float(range.fieldYMin) * scaleY)};
}

FieldRangeReading readFieldRange(const FieldRangeTexts &texts, float scaleX, float scaleY)
{
    FieldRangeReading reading;
    FieldRange &range = reading.range;
    const Limit limits[] = {
        {texts.xMax, scaleX, range.fieldXMax, QStringLiteral("X-max")},
        {texts.yMax, scaleY, range.fieldYMax, QStringLiteral("Y-max")},
        {texts.xMin, scaleX, range.fieldXMin, QStringLiteral("X-min")},
        {texts.yMin, scaleY, range.fieldYMin, QStringLiteral("Y-min")},
    };
    for (const Limit &limit : limits) {
        reading.problem = readLimit(limit);
        if (!reading.problem.isEmpty())
            return reading;
    }
    reading.problem = axisProblem(QLatin1Char('X'), range.fieldXMin, range.fieldXMax, scaleX);
    if (reading.problem.isEmpty())
        reading.problem = axisProblem(QLatin1Char('Y'), range.fieldYMin, range.fieldYMax, scaleY);
    return reading;
}

} // namespace Vorlane
