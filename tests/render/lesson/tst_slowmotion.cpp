#include "common/randomgenerator.h"
#include "document/documentfile.h"
#include "document/fractaldocument.h"
#include "render/lesson/slowmotion.h"
#include "render/chaos/mapcolours.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"
#include "support/serialrender.h"

#include <QDir>
#include <QList>
#include <QSet>
#include <QTest>

using namespace Vorlane;

namespace {

constexpr float canvasWidth = 6495.0f;
constexpr float canvasHeight = 6045.0f;
constexpr int comparedPoints = 1000;

class FirstPoints : public RenderTarget
{
public:
    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (qsizetype i = 0; i < count && this->points.size() < comparedPoints; ++i)
            this->points.append(points[i]);
    }
    void progressStepDone(qint32) override {}

    QList<PlottedPoint> points;
};

std::optional<FractalDocument> galleryDocument(const QString &name)
{
    return loadDocumentFile(QDir(QStringLiteral(VORLANE_GALLERY_DIR)).filePath(name), FractalDocument());
}

} // namespace

class TestSlowMotion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pointsAreThoseOfANormalRun_data();
    void pointsAreThoseOfANormalRun();
    void colourByMapDrawsTheSamePointsInTheMapsColours();
    void colourByMapStopsAfterAWholeStep_data();
    void colourByMapStopsAfterAWholeStep();
};

void TestSlowMotion::pointsAreThoseOfANormalRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint32>("colourStyle");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("Fern, radiating") << "Fern.vrf" << qint32(RadiatingColour) << 5489u;
    QTest::newRow("Tree, random colours") << "Tree.vrf" << qint32(RandomColour) << 7u;
    QTest::newRow("Koch Curve, two colours") << "Koch Curve.vrf" << qint32(TwoColoursOnly) << 11u;
    QTest::newRow("Snowflake, chronological") << "Snowflake.vrf" << qint32(ChronologicalColour) << 13u;
}

void TestSlowMotion::pointsAreThoseOfANormalRun()
{
    QFETCH(QString, name);
    QFETCH(qint32, colourStyle);
    QFETCH(quint32, seed);
    std::optional<FractalDocument> document = galleryDocument(name);
    QVERIFY(document);
    document->colours.colourStyle = colourStyle;
    document->settings.scaleX = 1.0f / canvasWidth;
    document->settings.scaleY = 1.0f / canvasHeight;
    RandomGenerator random(seed);
    FirstPoints normal;
    RandomGenerator normalRandom = random;
    renderFractal(*document, canvasWidth, canvasHeight, normalRandom, normal);

    SlowMotionRun slow(*document, canvasWidth, canvasHeight, random);
    for (int n = 0; n < comparedPoints; ++n) {
        const RunStep step = slow.next();
        const PlottedPoint &expected = normal.points.at(n);
        QCOMPARE(step.number, qint64(n) + 1);
        QCOMPARE(step.x, expected.x);
        QCOMPARE(step.y, expected.y);
        QCOMPARE(step.colour, expected.colour);
        const bool restart = step.number == 1 || step.number % document->settings.resolution == 0;
        QCOMPARE(step.map == 0, restart);
    }
    QCOMPARE(random.nextWord(), RandomGenerator(seed).nextWord()); // the program's sequence stays where it was
}

void TestSlowMotion::colourByMapDrawsTheSamePointsInTheMapsColours()
{
    std::optional<FractalDocument> document = galleryDocument(QStringLiteral("Fern.vrf"));
    QVERIFY(document);
    document->colours.colourStyle = RandomColour;
    RasterCanvas normal(QSize(433, 403), document->colours.backColour);
    RasterCanvas byMap = normal;
    document->settings.scaleX = 1.0f / normal.scaleWidth();
    document->settings.scaleY = 1.0f / normal.scaleHeight();
    RandomGenerator normalRandom(3);
    RandomGenerator byMapRandom(3);
    renderPicture(*document, normal, normalRandom);
    drawRunByMap(*document, byMap, byMapRandom);

    QSet<QRgb> colours;
    const QRgb background = RasterCanvas::toRgb(document->colours.backColour);
    for (int y = 0; y < normal.pixelSize().height(); ++y) {
        for (int x = 0; x < normal.pixelSize().width(); ++x) {
            const QRgb drawn = byMap.persistentImage().pixel(x, y);
            QCOMPARE(drawn == background, normal.persistentImage().pixel(x, y) == background);
            colours.insert(drawn);
        }
    }
    QCOMPARE(colours, (QSet<QRgb>{background, RasterCanvas::toRgb(document->colours.colour1), mapColour(0), mapColour(1),
                                  mapColour(2), mapColour(3)}));
    QCOMPARE(byMapRandom.nextWord(), normalRandom.nextWord());
}

void TestSlowMotion::colourByMapStopsAfterAWholeStep_data()
{
    QTest::addColumn<qint32>("totalPoints");
    QTest::addColumn<qint64>("stopAtStep");
    QTest::newRow("first step") << 45000 << qint64(1);
    QTest::newRow("midway, steps not dividing the points") << 6007 << qint64(31);
}

// Stopped after k steps, the picture is that of a run of k steps' points,
// the progress told each step in order, and the random numbers stand where
// the whole run leaves them.
void TestSlowMotion::colourByMapStopsAfterAWholeStep()
{
    QFETCH(qint32, totalPoints);
    QFETCH(qint64, stopAtStep);
    std::optional<FractalDocument> document = galleryDocument(QStringLiteral("Fern.vrf"));
    QVERIFY(document);
    document->settings.totalPoints = totalPoints;
    RasterCanvas stopped(QSize(200, 180), document->colours.backColour);
    RasterCanvas whole = stopped;
    RasterCanvas prefix = stopped;
    document->settings.scaleX = 1.0f / stopped.scaleWidth();
    document->settings.scaleY = 1.0f / stopped.scaleHeight();

    std::atomic<bool> stop = false;
    QList<qint64> told;
    QList<qint64> prefixes;
    RunControl run;
    run.stop = &stop;
    run.onProgress = [&](qint64 done, qint64 total) {
        QCOMPARE(total, qint64(60));
        told.append(done);
        stop = done == stopAtStep;
    };
    run.onPrefixDrawn = [&](qint64 lastIteration) { prefixes.append(lastIteration); };
    RandomGenerator stoppedRandom(5);
    QVERIFY(!drawRunByMap(*document, stopped, stoppedRandom, run));

    RandomGenerator wholeRandom(5);
    QVERIFY(drawRunByMap(*document, whole, wholeRandom));
    QCOMPARE(stoppedRandom.nextWord(), wholeRandom.nextWord());
    FractalDocument shorter = *document;
    shorter.settings.totalPoints = qint32(stopAtStep * progressStep(totalPoints));
    RandomGenerator prefixRandom(5);
    drawRunByMap(shorter, prefix, prefixRandom);
    QCOMPARE(stopped.persistentImage(), prefix.persistentImage());
    QCOMPARE(qint64(told.size()), stopAtStep);
    QCOMPARE(told.last(), stopAtStep);
    QCOMPARE(prefixes.last(), qint64(shorter.settings.totalPoints));
}

QTEST_GUILESS_MAIN(TestSlowMotion)
#include "tst_slowmotion.moc"
