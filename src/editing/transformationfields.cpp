#include "editing/transformationfields.h"

#include "common/numbertext.h"
#include "common/rounding.h"

namespace Vorlane {

namespace {

QString displayField(float stored, float scale)
{
    return numToField(toSingleSaturated(double(scale) * double(stored)));
}

float storedValue(const QString &text)
{
    return toSingleSaturated(fieldToNum(text));
}

float storedTranslation(const QString &text, float scale)
{
    return toSingleSaturated(fieldToNum(text) / double(scale));
}

} // namespace

TransformationFields transformationFields(const Transformation &transformation, const RenderSettings &settings)
{
    return TransformationFields{
        transformation.name,
        numToField(transformation.contraction[0]),
        numToField(transformation.contraction[1]),
        numToField(transformation.rotation),
        displayField(transformation.translation[0], settings.scaleX),
        displayField(transformation.translation[1], settings.scaleY),
    };
}

Transformation transformationFromFields(const TransformationFields &fields, const RenderSettings &settings)
{
    Transformation transformation;
    transformation.name = paddedTrName(fields.name);
    transformation.contraction = {storedValue(fields.contractionX), storedValue(fields.contractionY)};
    transformation.rotation = storedValue(fields.rotation);
    transformation.translation = {storedTranslation(fields.translationX, settings.scaleX),
                                    storedTranslation(fields.translationY, settings.scaleY)};
    return transformation;
}

QString defaultTrName(qint16 counter)
{
    return QLatin1String("Tr") + numToField(counter);
}

bool hasTransformation(const FractalDocument &document, int number)
{
    return number >= 1 && number <= document.trCount();
}

std::optional<QString> addTransformation(FractalDocument &document, const QString &typedName)
{
    if (document.trCount() >= maxTransformations)
        return std::nullopt;
    QString name = typedName;
    if (name.isEmpty()) {
        name = defaultTrName(document.trNameCounter);
        document.trNameCounter = addInt16Saturated(document.trNameCounter, 1);
    }
    Transformation added;
    added.name = paddedTrName(name);
    document.transformations.append(added);
    return added.name;
}

bool removeTransformation(FractalDocument &document, int number)
{
    if (!hasTransformation(document, number))
        return false;
    document.transformations.removeAt(number - 1);
    return true;
}

} // namespace Vorlane
