#pragma once

#include "document/fractaldocument.h"

#include <QSize>
#include <QString>

#include <optional>

namespace Vorlane {

// The texts of the settings dialog's fields. The scales are shown multiplied
// by the main canvas's outer width and height in twips, so that the start-up
// scales read as 1.
struct SettingsFields
{
    QString resolution;
    QString totalPoints;
    QString scaleX;
    QString scaleY;

    bool operator==(const SettingsFields &) const = default;
};

enum class SettingsField { Resolution, TotalPoints, ScaleX, ScaleY };

// Why the fields cannot be taken: the field at fault and a sentence naming it.
struct SettingsProblem
{
    SettingsField field = SettingsField::Resolution;
    QString text;
};

SettingsFields settingsFields(const RenderSettings &settings, QSize canvasOuterTwips);

// The settings the fields give: whole numbers rounded half to even, scales
// divided by the canvas's outer size, a scale beyond the float range held at
// the largest float of its sign. Refused, with problem set to the first field
// in the dialog's order that cannot be taken: a resolution outside 1 to
// 32767, a scale of 0 or one that is not finite, a point count outside the
// 32-bit range. A point count of 0 or less is taken (it renders nothing).
std::optional<RenderSettings> settingsFromFields(const SettingsFields &fields, QSize canvasOuterTwips,
                                                 SettingsProblem *problem);

} // namespace Vorlane
