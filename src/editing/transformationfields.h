#pragma once

#include "document/fractaldocument.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace Vorlane {

// The texts of the transformation editor's fields for one transformation.
// Translations are display values: document units times the view scales.
struct TransformationFields
{
    QString name;
    QString contractionX;
    QString contractionY;
    QString rotation;
    QString translationX;
    QString translationY;

    bool operator==(const TransformationFields &) const = default;
};

// The fields that show transformation. A display value beyond the float range
// is shown as the largest float of its sign, so that accepting it unchanged
// keeps a finite translation.
TransformationFields transformationFields(const Transformation &transformation, const RenderSettings &settings);

// The transformation that the fields describe: the name padded or cut to
// trNameLength, text that is not a number read as 0, translations divided by
// the view scales. Every value beyond the 32-bit float range, a division by a
// zero scale included, becomes the largest float of its sign (0 for 0 / 0).
Transformation transformationFromFields(const TransformationFields &fields, const RenderSettings &settings);

// The name of a transformation added without a name: "Tr" and the number.
QString defaultTrName(qint16 counter);

// True when the document has a transformation with this number (1 to trCount).
bool hasTransformation(const FractalDocument &document, int number);

// Appends a transformation whose values are all 0, named typedName or, when
// that is empty, defaultTrName(trNameCounter), the counter then going up by 1
// and stopping at 32767. Returns the stored name; with maxTransformations
// already in the document nothing changes and the result is empty.
std::optional<QString> addTransformation(FractalDocument &document, const QString &typedName);

// Removes transformation number; those after it move one place down. False,
// and nothing changes, when the document has no such transformation.
bool removeTransformation(FractalDocument &document, int number);

} // namespace Vorlane
