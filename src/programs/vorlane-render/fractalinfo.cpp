#include "programs/vorlane-render/fractalinfo.h"

#include "document/fractaldocument.h"
#include "render/lesson/boxcounting.h"
#include "render/lesson/fractaldimension.h"
#include "render/exact/rastercanvas.h"

namespace Vorlane {

namespace {

QString mapsTable(const FractalDocument &document)
{
    const QList<double> percents = weightPercents(document);
    QString text = QStringLiteral("Maps: %1\n").arg(document.trCount());
    text += QStringLiteral("  %1 %2 %3 %4 %5 %6 %7\n")
                .arg(QStringLiteral("name"), -8)
                .arg(QStringLiteral("contr. X"), 10)
                .arg(QStringLiteral("contr. Y"), 10)
                .arg(QStringLiteral("rotation"), 10)
                .arg(QStringLiteral("transl. X"), 10)
                .arg(QStringLiteral("transl. Y"), 10)
                .arg(QStringLiteral("weight"), 8);
    for (qsizetype k = 0; k < document.transformations.size(); ++k) {
        const Transformation &map = document.transformations.at(k);
        text += QStringLiteral("  %1 %2 %3 %4 %5 %6 %7 %\n")
                    .arg(map.name, -8)
                    .arg(map.contraction[0], 10, 'g', 7)
                    .arg(map.contraction[1], 10, 'g', 7)
                    .arg(map.rotation, 10, 'g', 7)
                    .arg(map.translation[0], 10, 'g', 7)
                    .arg(map.translation[1], 10, 'g', 7)
                    .arg(percents.at(k), 6, 'f', 2);
    }
    return text;
}

// A paragraph broken into lines of at most width characters, for a terminal.
QString wrapped(const QString &paragraph, int width = 78)
{
    QString text;
    int lineLength = 0;
    for (const QString &word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            text += QLatin1Char('\n');
            lineLength = 0;
        } else if (lineLength > 0) {
            text += QLatin1Char(' ');
            ++lineLength;
        }
        text += word;
        lineLength += int(word.size());
    }
    return text;
}

QString mapsDimensionText(const FractalDocument &document)
{
    const MapsDimension dimension = mapsDimension(document);
    switch (dimension.kind) {
    case MapsDimension::Similarity:
        return QStringLiteral("Similarity dimension: %1\n%2\n").arg(dimension.value, 0, 'f', 3).arg(wrapped(dimension.explanation));
    case MapsDimension::Affinity:
        return QStringLiteral("Affinity dimension (estimate): %1\n%2\n")
            .arg(dimension.value, 0, 'f', 3)
            .arg(wrapped(dimension.explanation));
    case MapsDimension::None:
        break;
    }
    return QStringLiteral("Dimension: none\n%1\n").arg(wrapped(dimension.explanation));
}

QString boxCountingText(const FractalDocument &document, const QImage &picture)
{
    const BoxCountingResult boxes =
        boxCountingDimension(picture, RasterCanvas::toRgb(document.colours.backColour));
    if (!boxes.valid())
        return QStringLiteral("Box-counting dimension: none (too little is drawn to measure)\n");
    return QStringLiteral("Box-counting dimension of the picture (%1 x %2 pixels): %3, fitted over boxes of %4 to %5 "
                          "pixels\n")
        .arg(picture.width())
        .arg(picture.height())
        .arg(boxes.dimension, 0, 'f', 3)
        .arg(boxes.counts.at(boxes.firstFitted).size)
        .arg(boxes.counts.at(boxes.lastFitted).size);
}

} // namespace

QString fractalInfo(const FractalDocument &document, const QImage &picture)
{
    return mapsTable(document) + QLatin1Char('\n') + mapsDimensionText(document) + QLatin1Char('\n')
        + boxCountingText(document, picture);
}

} // namespace Vorlane
