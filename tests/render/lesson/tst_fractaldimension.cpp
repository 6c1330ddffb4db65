#include "common/randomgenerator.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/exact/documentpicture.h"
#include "render/lesson/boxcounting.h"
#include "render/lesson/fractaldimension.h"
#include "render/exact/rastercanvas.h"

#include <QDir>
#include <QTest>

#include <cmath>

using namespace Vorlane;

namespace {

FractalDocument galleryDocument(const QString &name)
{
    return *loadDocumentFile(QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(name), FractalDocument());
}

// The D where sum(r^D) = 1, by halving an interval that holds it.
double bisectedDimension(const FractalDocument &document)
{
    const auto sum = [&](double d) {
        double total = 0.0;
        for (const Transformation &map : document.transformations)
            total += std::pow(std::fabs(double(map.contraction[0])), d);
        return total;
    };
    double low = 0.0;
    double high = 10.0;
    for (int step = 0; step < 100; ++step)
        (sum((low + high) / 2.0) > 1.0 ? low : high) = (low + high) / 2.0;
    return low;
}

LinearPart diagonal(double x, double y)
{
    return {x, 0.0, 0.0, y};
}

} // namespace

class TestFractalDimension : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void similarityDimensionSolvesTheSum_data();
    void similarityDimensionSolvesTheSum();
    void affinityBoundOfKnownMaps_data();
    void affinityBoundOfKnownMaps();
    void boxCountingFindsTheSierpinskiTriangle();
};

void TestFractalDimension::similarityDimensionSolvesTheSum_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Sierpinski Triangle.vrf", "Sierpinski Carpet.vrf", "Koch Curve.vrf", "Vicsek Crystal.vrf",
                             "Pentaflake.vrf", "Dragon Curve.vrf", "Levy C Curve.vrf", "Snowflake.vrf"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFractalDimension::similarityDimensionSolvesTheSum()
{
    QFETCH(QString, name);
    const FractalDocument document = galleryDocument(name);
    const MapsDimension dimension = mapsDimension(document);
    QCOMPARE(dimension.kind, MapsDimension::Similarity);
    QVERIFY2(std::fabs(dimension.value - bisectedDimension(document)) < 1e-6, qPrintable(QString::number(dimension.value)));
}

void TestFractalDimension::affinityBoundOfKnownMaps_data()
{
    QTest::addColumn<QList<LinearPart>>("maps");
    QTest::addColumn<double>("expected");
    const double rotatedHalf = std::sqrt(0.125);
    // Similarities: the singular value function is r^s, so every length gives log 3 / log 2.
    QTest::newRow("three halves") << QList<LinearPart>(3, diagonal(0.5, 0.5)) << std::log(3.0) / std::log(2.0);
    QTest::newRow("turned halves") << QList<LinearPart>{{rotatedHalf, -rotatedHalf, rotatedHalf, rotatedHalf},
                                                        diagonal(0.5, -0.5)}
                                   << 1.0;
    // Four maps squashing to 1/2 by 1/4: 4 × 1/2 × (1/4)^(s − 1) = 1 gives s = 1.5.
    QTest::newRow("carpet of strips") << QList<LinearPart>(4, diagonal(0.5, 0.25)) << 1.5;
    QTest::newRow("strips across") << QList<LinearPart>(4, diagonal(0.25, 0.5)) << 1.5;
}

void TestFractalDimension::affinityBoundOfKnownMaps()
{
    QFETCH(QList<LinearPart>, maps);
    QFETCH(double, expected);
    for (int length : {1, 4})
        QVERIFY2(std::fabs(affinityDimensionBound(maps, length) - expected) < 1e-9,
                 qPrintable(QString::number(affinityDimensionBound(maps, length))));
}

void TestFractalDimension::boxCountingFindsTheSierpinskiTriangle()
{
    FractalDocument document = galleryDocument(QStringLiteral("Sierpinski Triangle.vrf"));
    RandomGenerator random;
    const QImage picture = renderDocumentPicture(document, startupCanvasSize(), random);
    const BoxCountingResult boxes = boxCountingDimension(picture, RasterCanvas::toRgb(document.colours.backColour));
    QVERIFY(boxes.valid());
    QVERIFY2(std::fabs(boxes.dimension - std::log(3.0) / std::log(2.0)) < 0.05, qPrintable(QString::number(boxes.dimension)));
}

QTEST_GUILESS_MAIN(TestFractalDimension)
#include "tst_fractaldimension.moc"
