#include "common/randomgenerator.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "render/renderer.h"

#include <QTest>

#include <limits>

using namespace Vorlane;

namespace {

constexpr float canvasWidth = 6495.0f;
constexpr float canvasHeight = 5400.0f;

class RecordingTarget : public RenderTarget
{
public:
    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (qsizetype i = 0; i < count; ++i)
            this->points.append(points[i]);
    }
    void progressStepDone(qint32 stepsDone) override
    {
        steps.append(stepsDone);
        pointsAtStep.append(points.size());
    }

    QList<PlottedPoint> points;
    QList<qint32> steps;
    QList<qsizetype> pointsAtStep;
};

Transformation map(float contraction, float rotation, float translationX, float translationY)
{
    return Transformation{paddedTrName(QString()), {contraction, contraction}, rotation, {translationX, translationY}};
}

// One document unit is one canvas unit, as after start-up.
FractalDocument plainDocument(qint32 totalPoints, qint16 resolution)
{
    FractalDocument document;
    document.basePoints = {{0, 0}};
    document.settings = {totalPoints, resolution, 1.0f / canvasWidth, 1.0f / canvasHeight};
    document.colours = {RadiatingColour, rgbColour(255, 0, 0), rgbColour(0, 0, 255), 0};
    return document;
}

RecordingTarget render(const FractalDocument &document, RandomGenerator &random)
{
    RecordingTarget target;
    renderFractal(document, canvasWidth, canvasHeight, random, target);
    return target;
}

RecordingTarget render(const FractalDocument &document)
{
    RandomGenerator random;
    return render(document, random);
}

// The canvas position of a point given in canvas units from the fractal's origin.
QPointF canvasPosition(const FractalDocument &document, double x, double y)
{
    return {canvasWidth / 2.0 + x - document.centreX, canvasHeight / 2.0 - y + document.centreY};
}

QPointF position(const PlottedPoint &point)
{
    return {point.x, point.y};
}

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesDocumentsItCannotRender();
    void resolutionOneShowsOnlyBasePoints();
    void withoutTransformationsEveryPointIsTheOrigin();
    void firstPointsDescendFromBasePointOne();
    void choosesByWeightAndNeverAWeightOfZero();
    void progressStepsCoverTheRun_data();
    void progressStepsCoverTheRun();
    void viewCentreIsDrawnAtTheMiddle();
    void runsContinueTheRandomSequence();
    void pointsLeavingTheRangeAreHeldAtItsLimit();
    void startupTreeStaysOnItsTrack();
};

void TestRenderer::refusesDocumentsItCannotRender()
{
    FractalDocument document = plainDocument(100, 20);
    QVERIFY(renderProblem(document).isEmpty());
    document.settings.resolution = 0;
    QVERIFY(renderProblem(document).contains(QLatin1String("resolution is 0")));
    document = plainDocument(100, 20);
    document.basePoints.clear();
    QVERIFY(renderProblem(document).contains(QLatin1String("no points")));
    document = plainDocument(100, 20);
    document.transformations.fill(map(0.5f, 0, 0, 0), 51);
    QVERIFY(renderProblem(document).contains(QLatin1String("51 transformations")));
}

void TestRenderer::resolutionOneShowsOnlyBasePoints()
{
    FractalDocument document = plainDocument(300, 1);
    document.basePoints = {{100, 0}, {0, 100}, {-100, -100}};
    document.transformations = {map(0.5f, 0, 3000, 3000)};
    const RecordingTarget target = render(document);
    QCOMPARE(target.points.size(), 300);
    QSet<QPair<double, double>> seen;
    for (const PlottedPoint &point : target.points) {
        QCOMPARE(point.colour, document.colours.colour1); // cir is always 0
        seen.insert({point.x, point.y});
    }
    const QSet<QPair<double, double>> basePositions{
        {canvasPosition(document, 100, 0).x(), canvasPosition(document, 100, 0).y()},
        {canvasPosition(document, 0, 100).x(), canvasPosition(document, 0, 100).y()},
        {canvasPosition(document, -100, -100).x(), canvasPosition(document, -100, -100).y()},
    };
    QCOMPARE(seen, basePositions);
}

void TestRenderer::withoutTransformationsEveryPointIsTheOrigin()
{
    FractalDocument document = plainDocument(200, 10);
    document.basePoints = {{500, 700}};
    document.centreX = 40;
    document.centreY = -30;
    const RecordingTarget target = render(document);
    for (qsizetype i = 0; i < target.points.size(); ++i) {
        const bool firstOrRestart = i == 0 || (i + 1) % 10 == 0;
        const QPointF expected = firstOrRestart ? canvasPosition(document, 500, 700) : canvasPosition(document, 0, 0);
        QCOMPARE(position(target.points.at(i)), expected);
    }
}

void TestRenderer::firstPointsDescendFromBasePointOne()
{
    FractalDocument document = plainDocument(5, 5);
    document.basePoints = {{0, 0}, {1000, 1000}};
    document.transformations = {map(1.0f, 0, 0, 0)}; // the identity
    const RecordingTarget target = render(document);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(position(target.points.at(i)), canvasPosition(document, 0, 0));
}

void TestRenderer::choosesByWeightAndNeverAWeightOfZero()
{
    // Every restart is followed by one step from the base point (0, 0), so the
    // point after it is the chosen map's translation.
    FractalDocument document = plainDocument(200001, 2);
    document.transformations = {map(0.6f, 0, 1000, 0), map(0.0f, 0, 0, 1000), map(0.45f, 0, -1000, 0)};
    const RecordingTarget target = render(document);
    int first = 0;
    int third = 0;
    for (qsizetype i = 2; i < target.points.size(); i += 2) {
        const QPointF point = position(target.points.at(i));
        if (point == canvasPosition(document, 1000, 0))
            ++first;
        else if (point == canvasPosition(document, -1000, 0))
            ++third;
        else
            QFAIL("a map of weight 0 was chosen");
    }
    const double share = double(first) / (first + third);
    const double expected = 0.36 / (0.36 + 0.2025);
    QVERIFY2(qAbs(share - expected) < 0.01, qPrintable(QString::number(share)));
}

void TestRenderer::progressStepsCoverTheRun_data()
{
    QTest::addColumn<qint32>("totalPoints");
    QTest::addColumn<qint32>("step");
    QTest::addColumn<int>("stepCalls");
    QTest::newRow("start-up") << 45000 << 750 << 60;
    QTest::newRow("uneven") << 45059 << 750 << 60;
    QTest::newRow("hundred") << 100 << 1 << 100;
    QTest::newRow("below sixty") << 7 << 1 << 7;
    QTest::newRow("none") << 0 << 1 << 0;
    QTest::newRow("negative") << -5 << 1 << 0;
}

void TestRenderer::progressStepsCoverTheRun()
{
    QFETCH(qint32, totalPoints);
    QFETCH(qint32, step);
    QFETCH(int, stepCalls);
    QCOMPARE(progressStep(totalPoints), step);
    const RecordingTarget target = render(plainDocument(totalPoints, 20));
    QCOMPARE(target.points.size(), qMax(0, totalPoints));
    QCOMPARE(target.steps.size(), stepCalls);
    for (int i = 0; i < stepCalls; ++i) {
        QCOMPARE(target.steps.at(i), i + 1);
        QCOMPARE(target.pointsAtStep.at(i), qsizetype(step) * (i + 1)); // points are handed over before the step
    }
}

void TestRenderer::viewCentreIsDrawnAtTheMiddle()
{
    FractalDocument document = plainDocument(10, 1);
    document.basePoints = {{120, -340}};
    document.centreX = 120;
    document.centreY = -340;
    for (const PlottedPoint &point : render(document).points)
        QCOMPARE(position(point), QPointF(canvasWidth / 2, canvasHeight / 2));
}

void TestRenderer::runsContinueTheRandomSequence()
{
    const FractalDocument document = startupDocument(1.0f / canvasWidth, 1.0f / canvasHeight, 0);
    RandomGenerator random;
    const RecordingTarget first = render(document, random);
    const RecordingTarget second = render(document, random);
    RandomGenerator fresh;
    const RecordingTarget repeated = render(document, fresh);
    const auto samePoints = [](const RecordingTarget &a, const RecordingTarget &b) {
        if (a.points.size() != b.points.size())
            return false;
        for (qsizetype i = 0; i < a.points.size(); ++i) {
            if (position(a.points.at(i)) != position(b.points.at(i)) || a.points.at(i).colour != b.points.at(i).colour)
                return false;
        }
        return true;
    };
    QVERIFY(!samePoints(first, second));
    QVERIFY(samePoints(first, repeated));
}

void TestRenderer::pointsLeavingTheRangeAreHeldAtItsLimit()
{
    FractalDocument document = plainDocument(1000, 50);
    document.transformations = {map(3.0f, 0, 30000, -30000), map(std::numeric_limits<float>::max(), 45, 1, 1),
                                map(1.0f, 0, std::numeric_limits<float>::infinity(), std::nanf(""))};
    const RecordingTarget target = render(document);
    QCOMPARE(target.points.size(), 1000);
    const QPointF lowest = canvasPosition(document, -32768, 32767);
    const QPointF highest = canvasPosition(document, 32767, -32768);
    for (const PlottedPoint &point : target.points) {
        QVERIFY(point.x >= lowest.x() && point.x <= highest.x());
        QVERIFY(point.y >= lowest.y() && point.y <= highest.y());
    }
}

void TestRenderer::startupTreeStaysOnItsTrack()
{
    // A fixed fingerprint of the start-up picture: any change to the
    // arithmetic, the random sequence or the order of draws changes it.
    const FractalDocument document = startupDocument(1.0f / canvasWidth, 1.0f / canvasHeight, 0);
    const RecordingTarget target = render(document);
    QCOMPARE(target.points.size(), 45000);
    double sumX = 0;
    double sumY = 0;
    qint64 sumColour = 0;
    for (const PlottedPoint &point : target.points) {
        sumX += point.x;
        sumY += point.y;
        sumColour += point.colour;
    }
    QCOMPARE(QString::number(sumX, 'f', 1) + QLatin1Char(' ') + QString::number(sumY, 'f', 1) + QLatin1Char(' ')
                 + QString::number(sumColour),
             QStringLiteral("155344137.0 87192873.0 15556644000"));
}

QTEST_GUILESS_MAIN(TestRenderer)
#include "tst_renderer.moc"
