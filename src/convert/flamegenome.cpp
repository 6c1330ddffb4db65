#include "convert/flamegenome.h"

#include "convert/affinemap.h"
#include "convert/ifstext.h"
#include "document/canvasunits.h"
#include "document/colour.h"
#include "document/fractaldocument.h"

#include <QStringList>
#include <QXmlStreamWriter>

namespace Vorlane {

namespace {

constexpr int paletteSize = 256;
constexpr int coloursPerPaletteLine = 8;

QString numbers(std::initializer_list<double> values)
{
    QStringList texts;
    for (const double value : values)
        texts.append(exchangeNumber(value));
    return texts.join(QLatin1Char(' '));
}

int blend(int from, int to, int step)
{
    return (from * (paletteSize - 1 - step) + to * step + (paletteSize - 1) / 2) / (paletteSize - 1);
}

QString palette(qint32 first, qint32 second)
{
    QString text = QStringLiteral("\n");
    for (int step = 0; step < paletteSize; ++step) {
        text += QStringLiteral("%1%2%3")
                    .arg(blend(colourRed(first), colourRed(second), step), 2, 16, QLatin1Char('0'))
                    .arg(blend(colourGreen(first), colourGreen(second), step), 2, 16, QLatin1Char('0'))
                    .arg(blend(colourBlue(first), colourBlue(second), step), 2, 16, QLatin1Char('0'))
                    .toUpper();
        if ((step + 1) % coloursPerPaletteLine == 0)
            text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

double flamePixelsPerUnit()
{
    return startupCanvasSize().height();
}

QByteArray flameGenome(const FractalDocument &document, const QString &name)
{
    QByteArray genome;
    QXmlStreamWriter xml(&genome);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("flame"));
    xml.writeAttribute(QStringLiteral("name"), name);
    const QSize size = startupCanvasSize();
    xml.writeAttribute(QStringLiteral("size"), QStringLiteral("%1 %2").arg(size.width()).arg(size.height()));
    xml.writeAttribute(QStringLiteral("center"),
                       numbers({document.centreX / exchangeUnit(), -document.centreY / exchangeUnit()}));
    xml.writeAttribute(QStringLiteral("scale"), exchangeNumber(flamePixelsPerUnit()));
    const qint32 back = document.colours.backColour;
    xml.writeAttribute(QStringLiteral("background"), numbers({colourRed(back) / 255.0, colourGreen(back) / 255.0,
                                                              colourBlue(back) / 255.0}));

    double weights = 0.0;
    for (const Transformation &transformation : document.transformations)
        weights += transformationWeight(transformation);
    const qsizetype count = document.transformations.size();
    for (qsizetype i = 0; i < count; ++i) {
        const Transformation &transformation = document.transformations.at(i);
        const AffineMap m = affineMap(transformation, exchangeUnit());
        xml.writeEmptyElement(QStringLiteral("xform"));
        xml.writeAttribute(QStringLiteral("weight"),
                           exchangeNumber(weights > 0.0 ? transformationWeight(transformation) / weights : 0.0));
        xml.writeAttribute(QStringLiteral("color"), exchangeNumber(count > 1 ? double(i) / double(count - 1) : 0.0));
        xml.writeAttribute(QStringLiteral("linear"), QStringLiteral("1"));
        // With Y downwards the map is F·M·F, F the mirror in the X axis.
        xml.writeAttribute(QStringLiteral("coefs"), numbers({m.a, -m.c, -m.b, m.d, m.e, -m.f}));
    }
    xml.writeStartElement(QStringLiteral("palette"));
    xml.writeAttribute(QStringLiteral("count"), QString::number(paletteSize));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("RGB"));
    xml.writeCharacters(palette(document.colours.colour1, document.colours.colour2));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return genome;
}

} // namespace Vorlane
