#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/poster/posterpalette.h"
#include "support/testfolder.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace Vorlane;

class TestPosterPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtInPalettesAreDistinctGradients();
    void gradientFilesAreReadOrRefused_data();
    void gradientFilesAreReadOrRefused();
    void stopsAreReachedAndBlendedInBetween();
    void namesAndFilesAreFound();
};

void TestPosterPalette::builtInPalettesAreDistinctGradients()
{
    QSet<QString> names;
    QSet<qint32> middles;
    QString error;
    for (const PaletteName &name : posterPaletteNames()) {
        const std::optional<PosterPalette> palette = findPosterPalette(name.name, &error);
        QVERIFY2(palette, qPrintable(error));
        names.insert(name.name);
        if (!palette->isDocumentColours())
            middles.insert((*palette->gradient)[128]);
    }
    QCOMPARE(posterPaletteNames().constFirst().caption, QStringLiteral("Document colours"));
    QVERIFY(names.size() >= 13);
    QCOMPARE(middles.size(), names.size() - 1);
}

void TestPosterPalette::gradientFilesAreReadOrRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("last"); // -1: refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("hex and triples, comments, blank lines")
        << QByteArray("// night\n#000000\n\n  255 128 0 \r\n") << rgbColour(255, 128, 0) << QString();
    QTest::newRow("256 colours taken as they are") << QByteArray("#010203\n").repeated(255) + "#0a0b0c\n"
                                                   << rgbColour(10, 11, 12) << QString();
    QTest::newRow("one colour") << QByteArray("#ffffff\n") << -1 << QStringLiteral("at least 2");
    QTest::newRow("empty") << QByteArray() << -1 << QStringLiteral("at least 2");
    QTest::newRow("257 colours") << QByteArray("1 2 3\n").repeated(257) << -1 << QStringLiteral("more than 256");
    QTest::newRow("component above 255") << QByteArray("#000000\n0 256 0\n") << -1 << QStringLiteral("line 2");
    QTest::newRow("short hex") << QByteArray("#fff\n#000000\n") << -1 << QStringLiteral("line 1");
    QTest::newRow("two numbers") << QByteArray("#000000\n\n1 2\n") << -1 << QStringLiteral("line 3");
    QTest::newRow("binary") << QByteArray("\x89PNG\x00\x01\n", 7) << -1 << QStringLiteral("line 1");
}

void TestPosterPalette::gradientFilesAreReadOrRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, last);
    QFETCH(QString, reason);
    QString error;
    const std::optional<PosterGradient> gradient = parseGradientText(text, &error);
    QCOMPARE(gradient.has_value(), last >= 0);
    if (gradient)
        QCOMPARE(gradient->back(), last);
    else
        QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestPosterPalette::stopsAreReachedAndBlendedInBetween()
{
    const PosterGradient gradient = gradientThroughStops({rgbColour(0, 0, 0), rgbColour(255, 255, 255)});
    QCOMPARE(gradient.front(), rgbColour(0, 0, 0));
    QCOMPARE(gradient.back(), rgbColour(255, 255, 255));
    // Halfway in OKLab is a mid grey that looks half as light: lighter than
    // the halfway mix of the light's strength.
    const qint32 middle = gradient[128];
    QVERIFY(colourRed(middle) == colourGreen(middle) && colourGreen(middle) == colourBlue(middle));
    QVERIFY2(colourRed(middle) > 90 && colourRed(middle) < 140, qPrintable(QString::number(colourRed(middle))));
    for (std::size_t i = 1; i < gradient.size(); ++i)
        QVERIFY(colourRed(gradient[i]) >= colourRed(gradient[i - 1]));

    FractalDocument document;
    document.colours.colour1 = rgbColour(100, 50, 10);
    document.colours.colour2 = rgbColour(0, 255, 0);
    QCOMPARE(documentGradient(document).front(), document.colours.colour1);
    QCOMPARE(documentGradient(document).back(), document.colours.colour2);
}

void TestPosterPalette::namesAndFilesAreFound()
{
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("dusk.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#102030\n#405060\n");
    file.close();
    QString error;
    const std::optional<PosterPalette> read = findPosterPalette(path, &error);
    QVERIFY2(read && read->gradient, qPrintable(error));
    QCOMPARE(read->gradient->front(), rgbColour(16, 32, 48));
    QVERIFY(findPosterPalette(QStringLiteral("document"), &error)->isDocumentColours());

    QVERIFY(!findPosterPalette(folder.filePath(QStringLiteral("nothing")), &error));
    QVERIFY2(error.contains(QLatin1String("--list-palettes")), qPrintable(error));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(70 * 1024, '\n'));
    file.close();
    QVERIFY(!findPosterPalette(path, &error));
    QVERIFY2(error.contains(QLatin1String("larger than 64 KB")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestPosterPalette)
#include "tst_posterpalette.moc"
