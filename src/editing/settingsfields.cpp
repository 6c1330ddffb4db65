#include "editing/settingsfields.h"

#include "common/numbertext.h"
#include "common/rounding.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace Vorlane {

namespace {

QString scaleField(float scale, int outerTwips)
{
    return numToField(toSingleSaturated(double(scale) * double(outerTwips)));
}

// The typed scale divided by the outer size, or nothing when that is 0 or not
// finite (a canvas of no size), neither of which the editors can divide by.
std::optional<float> storedScale(const QString &text, int outerTwips)
{
    const double quotient = fieldToNum(text) / double(outerTwips);
    if (!std::isfinite(quotient))
        return std::nullopt;
    const float scale = toSingleSaturated(quotient);
    if (scale == 0.0f)
        return std::nullopt;
    return scale;
}

bool inRange(double value, double lowest, double highest)
{
    const double rounded = roundHalfEven(value);
    return rounded >= lowest && rounded <= highest;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("SettingsFields", text);
}

} // namespace

SettingsFields settingsFields(const RenderSettings &settings, QSize canvasOuterTwips)
{
    return SettingsFields{
        numToField(settings.resolution),
        numToField(settings.totalPoints),
        scaleField(settings.scaleX, canvasOuterTwips.width()),
        scaleField(settings.scaleY, canvasOuterTwips.height()),
    };
}

std::optional<RenderSettings> settingsFromFields(const SettingsFields &fields, QSize canvasOuterTwips,
                                                 SettingsProblem *problem)
{
    const auto refuse = [problem](SettingsField field, const QString &text) {
        if (problem)
            *problem = SettingsProblem{field, text};
        return std::nullopt;
    };

    const double resolution = fieldToNum(fields.resolution);
    if (!inRange(resolution, 1, std::numeric_limits<qint16>::max()))
        return refuse(SettingsField::Resolution, tr("Resolution must lie between 1 and 32767."));
    const double totalPoints = fieldToNum(fields.totalPoints);
    if (!inRange(totalPoints, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
        return refuse(SettingsField::TotalPoints,
                      tr("Total no. of points to be plotted must lie between -2147483648 and 2147483647."));
    const std::optional<float> scaleX = storedScale(fields.scaleX, canvasOuterTwips.width());
    if (!scaleX)
        return refuse(SettingsField::ScaleX, tr("Scale along X-axis must be a number other than 0."));
    const std::optional<float> scaleY = storedScale(fields.scaleY, canvasOuterTwips.height());
    if (!scaleY)
        return refuse(SettingsField::ScaleY, tr("Scale along Y-axis must be a number other than 0."));

    return RenderSettings{cint32(totalPoints), cint16(resolution), *scaleX, *scaleY};
}

} // namespace Vorlane
