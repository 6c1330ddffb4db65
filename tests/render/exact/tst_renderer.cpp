#include "common/randomgenerator.h"
#include "document/colour.h"
#include "document/fractaldocument.h"
#include "common/rounding.h"
#include "document/documentfile.h"
#include "support/canvasrendertarget.h"
#include "render/chaos/pointcolour.h"
#include "render/exact/rastercanvas.h"
#include "render/exact/renderer.h"

#include <QDir>
#include <QTest>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>

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

// The rendering loop written out plainly, step by step, with nothing worked
// out ahead: what the renderer's faster loop must reproduce exactly.
QList<PlottedPoint> referenceRender(const FractalDocument &document, RandomGenerator &random,
                                    double w = canvasWidth, double h = canvasHeight)
{
    const float unitScaleX = toSingle(w * double(document.settings.scaleX));
    const float unitScaleY = toSingle(h * double(document.settings.scaleY));
    const float degToRad = toSingle(4.0 * std::atan(1.0) / 180.0);
    const qint32 trCount = document.trCount();
    std::array<float, 51> table{};
    for (int k = 1; k <= trCount; ++k) {
        const Transformation &tr = document.transformations.at(k - 1);
        table[k] = toSingle(std::fabs(double(tr.contraction[0]) * double(tr.contraction[1])) + double(table[k - 1]));
    }
    const auto base = [&](int n) {
        const BasePoint &point = document.basePoints.at(n - 1);
        return std::pair<qint16, qint16>{cint16(double(float(point.x)) * double(unitScaleX)),
                                         cint16(double(float(point.y)) * double(unitScaleY))};
    };
    auto [x, y] = base(1);
    qint16 cir = 0;
    int k = 0;
    QList<PlottedPoint> points;
    for (qint32 i = 1; i <= document.settings.totalPoints; ++i) {
        if (i % document.settings.resolution == 0) {
            cir = 0;
            const auto ptn = int(floorToInt(double(random.next()) * document.basePointCount()) + 1);
            std::tie(x, y) = base(ptn);
        } else {
            ++cir;
        }
        const qint32 colour = pointColour(document, document.settings.totalPoints, random, i, cir);
        points.append({toSingle(w / 2 + x - document.centreX), toSingle(h / 2 - y + document.centreY), colour});
        const float r = toSingle(double(random.next()) * double(table[trCount]));
        for (int j = 1; j <= trCount; ++j) {
            if (r > table[j - 1])
                k = j;
        }
        const Transformation tr = k == 0 ? Transformation{} : document.transformations.at(k - 1);
        const float a = toSingle(double(x) * double(tr.contraction[0]));
        const float b = toSingle(double(y) * double(tr.contraction[1]));
        const double theta = double(degToRad) * double(tr.rotation);
        const float xr = toSingle(double(a) * std::cos(theta) - double(b) * std::sin(theta));
        const float yr = toSingle(double(a) * std::sin(theta) + double(b) * std::cos(theta));
        x = cint16(double(document.settings.scaleX) * double(tr.translation[0]) * w + double(xr));
        y = cint16(double(document.settings.scaleY) * double(tr.translation[1]) * h + double(yr));
    }
    return points;
}

// The picture of the plain loop, as the main window's canvas took it point
// by point.
QImage serialPicture(const FractalDocument &document, QSize size, RandomGenerator &random)
{
    RasterCanvas canvas(size, document.colours.backColour);
    CanvasRenderTarget target(canvas, nullptr);
    const QList<PlottedPoint> points = referenceRender(document, random, canvas.scaleWidth(), canvas.scaleHeight());
    target.plot(points.constData(), points.size());
    return canvas.persistentImage();
}

bool samePoints(const QList<PlottedPoint> &a, const QList<PlottedPoint> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (position(a.at(i)) != position(b.at(i)) || a.at(i).colour != b.at(i).colour)
            return false;
    }
    return true;
}

// Plots a serial run into a canvas and notes the first number of points
// after which the canvas equals goal, counting the pixels that differ as it goes.
class PrefixFinder : public RenderTarget
{
public:
    PrefixFinder(RasterCanvas &canvas, const QImage &goal)
        : m_canvas(canvas.pixelWriter())
        , m_goal(goal)
    {
        for (int y = 0; y < goal.height(); ++y) {
            for (int x = 0; x < goal.width(); ++x)
                m_differing += pixel(x, y) != goal.pixel(x, y);
        }
    }

    void plot(const PlottedPoint *points, qsizetype count) override
    {
        for (const PlottedPoint *point = points; point != points + count; ++point) {
            ++m_plotted;
            const int x = canvasUnitsToPixel(point->x);
            const int y = canvasUnitsToPixel(point->y);
            if (x < 0 || y < 0 || x >= m_goal.width() || y >= m_goal.height())
                continue;
            m_differing -= pixel(x, y) != m_goal.pixel(x, y);
            pixel(x, y) = RasterCanvas::toRgb(point->colour);
            m_differing += pixel(x, y) != m_goal.pixel(x, y);
            if (m_differing == 0 && matchedAfter < 0)
                matchedAfter = m_plotted;
        }
    }
    void progressStepDone(qint32) override {}

    qint64 matchedAfter = -1;

private:
    QRgb &pixel(int x, int y) { return m_canvas.bits()[y * m_canvas.stride() + x]; }

    RasterCanvas::PixelWriter m_canvas;
    const QImage &m_goal;
    qint64 m_plotted = 0;
    qint64 m_differing = 0;
};

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
    void matchesThePlainLoop_data();
    void matchesThePlainLoop();
    void runsContinueTheRandomSequence();
    void pointsLeavingTheRangeAreHeldAtItsLimit();
    void startupTreeStaysOnItsTrack();
    void mirroredMapsCountByMagnitude();
    void stretchesBeginAtRestarts_data();
    void stretchesBeginAtRestarts();
    void runsReachTheTopOfThe32BitRange();
    void threadsGiveTheSerialPicture_data();
    void threadsGiveTheSerialPicture();
    void randomDrawsAreCountedIn64Bits_data();
    void randomDrawsAreCountedIn64Bits();
    void stoppedRunKeepsASerialPrefix_data();
    void stoppedRunKeepsASerialPrefix();
    void growingPictureIsTheSerialPrefix_data();
    void growingPictureIsTheSerialPrefix();
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

void TestRenderer::matchesThePlainLoop_data()
{
    QTest::addColumn<FractalDocument>("document");
    const FractalDocument tree = startupDocument(1.0f / canvasWidth, 1.0f / canvasHeight, 0);
    QTest::newRow("start-up tree") << tree;
    for (const qint32 style : {0, 2, 3, 4}) {
        FractalDocument styled = tree;
        styled.colours.colourStyle = style;
        styled.settings.totalPoints = 9001;
        QTest::addRow("style %d", style) << styled;
    }
    for (const qint16 resolution : {1, 2, 7, 4097, 32767}) {
        FractalDocument restarts = tree;
        restarts.settings.resolution = resolution;
        restarts.settings.totalPoints = 10007;
        QTest::addRow("resolution %d", resolution) << restarts;
    }
    FractalDocument odd = plainDocument(20000, 9);
    odd.basePoints = {{3, -7}, {-32768, 32767}, {100, 200}};
    odd.transformations = {map(-0.7f, 200, 3000, 1), map(0.0f, 0, 5, 5), map(1.3f, -33.3f, -20000, 7000),
                           map(0.5f, 90, 0, 0)};
    odd.transformations[0].contraction[1] = 0.9f; // a negative weight
    odd.settings.scaleX = 3.5f / canvasWidth;
    odd.settings.scaleY = -0.25f / canvasHeight;
    odd.centreX = -1234;
    odd.centreY = 32767;
    QTest::newRow("odd maps and scales") << odd;
    QTest::newRow("no maps") << plainDocument(5000, 13);
}

void TestRenderer::matchesThePlainLoop()
{
    QFETCH(FractalDocument, document);
    RandomGenerator random;
    RandomGenerator referenceRandom;
    // Twice, so that the second run continues the sequence as the first left it.
    for (int run = 0; run < 2; ++run) {
        const QList<PlottedPoint> expected = referenceRender(document, referenceRandom);
        QVERIFY(samePoints(render(document, random).points, expected));
    }
    QVERIFY(random == referenceRandom);
}

void TestRenderer::runsContinueTheRandomSequence()
{
    const FractalDocument document = startupDocument(1.0f / canvasWidth, 1.0f / canvasHeight, 0);
    RandomGenerator random;
    const RecordingTarget first = render(document, random);
    const RecordingTarget second = render(document, random);
    RandomGenerator fresh;
    const RecordingTarget repeated = render(document, fresh);
    QVERIFY(!samePoints(first.points, second.points));
    QVERIFY(samePoints(first.points, repeated.points));
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

void TestRenderer::mirroredMapsCountByMagnitude()
{
    // A Sierpinski triangle whose third corner is mirrored: all three maps
    // shrink the area by the same factor and must be chosen equally often.
    // Every restart is followed by one step from the base point (0, 0), so
    // the point after it is the chosen map's translation.
    FractalDocument document = plainDocument(60001, 2);
    document.transformations = {map(0.5f, 0, -1000, 0), map(0.5f, 0, 1000, 0), map(0.5f, 0, 0, 1000)};
    document.transformations[2].contraction[0] = -0.5f;
    const RecordingTarget target = render(document);
    const QList<QPointF> corners{canvasPosition(document, -1000, 0), canvasPosition(document, 1000, 0),
                                 canvasPosition(document, 0, 1000)};
    QList<int> chosen(3, 0);
    for (qsizetype i = 2; i < target.points.size(); i += 2) {
        const qsizetype corner = corners.indexOf(position(target.points.at(i)));
        QVERIFY(corner >= 0);
        ++chosen[corner];
    }
    for (const int times : chosen)
        QVERIFY2(qAbs(times / 30000.0 - 1.0 / 3) < 0.02, qPrintable(QString::number(times)));
}

void TestRenderer::stretchesBeginAtRestarts_data()
{
    QTest::addColumn<qint64>("totalPoints");
    QTest::addColumn<qint16>("resolution");
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("stretches");
    QTest::newRow("one part") << qint64(45000) << qint16(20) << 1 << 1;
    QTest::newRow("even") << qint64(45000) << qint16(20) << 2 << 2;
    QTest::newRow("seven of the largest run") << qint64(2147483647) << qint16(20) << 7 << 7;
    QTest::newRow("awkward resolution at the top") << qint64(2147483647) << qint16(32767) << 3 << 3;
    QTest::newRow("no restart inside") << qint64(5000) << qint16(32767) << 4 << 1;
    QTest::newRow("restart every point") << qint64(5) << qint16(1) << 7 << 5;
    QTest::newRow("more parts than restarts") << qint64(70000) << qint16(32767) << 7 << 3;
    QTest::newRow("nothing to do") << qint64(0) << qint16(20) << 2 << 0;
}

void TestRenderer::stretchesBeginAtRestarts()
{
    QFETCH(qint64, totalPoints);
    QFETCH(qint16, resolution);
    QFETCH(int, parts);
    QFETCH(int, stretches);
    const QList<Stretch> plan = planStretches(totalPoints, resolution, parts);
    QCOMPARE(plan.size(), stretches);
    qint64 next = 1;
    for (const Stretch &stretch : plan) {
        QCOMPARE(stretch.first, next);
        QVERIFY(stretch.last >= stretch.first);
        QVERIFY(stretch.first == 1 || stretch.first % resolution == 0);
        next = stretch.last + 1;
    }
    QCOMPARE(next, qMax<qint64>(1, totalPoints + 1));
}

void TestRenderer::runsReachTheTopOfThe32BitRange()
{
    // The last 5000 iterations of the largest run: the count must not wrap
    // past 2147483647, the last point gets exactly colour2, and the 60th
    // progress step comes at iteration 60 × 35791394.
    FractalDocument document = startupDocument(1.0f / canvasWidth, 1.0f / canvasHeight, 0);
    document.settings.totalPoints = std::numeric_limits<qint32>::max();
    document.colours.colourStyle = ChronologicalColour;
    const Stretch last{std::numeric_limits<qint32>::max() - 4999, std::numeric_limits<qint32>::max()};
    RandomGenerator random;
    RecordingTarget target;
    renderStretch(document, canvasWidth, canvasHeight, last, 1, random, target);
    QCOMPARE(target.points.size(), 5000);
    QCOMPARE(target.points.constLast().colour, document.colours.colour2);
    QCOMPARE(target.steps, QList<qint32>{60});
    QCOMPARE(target.pointsAtStep, QList<qsizetype>{60 * 35791394LL - last.first + 1});
}

void TestRenderer::threadsGiveTheSerialPicture_data()
{
    QTest::addColumn<FractalDocument>("document");
    const QDir gallery(QStringLiteral(VORLANE_GALLERY_DIR));
    const QStringList names = gallery.entryList({QStringLiteral("*.vrf")});
    QVERIFY(names.size() >= 10);
    for (const QString &name : names) {
        const std::optional<FractalDocument> read = loadDocumentFile(gallery.filePath(name), FractalDocument());
        QVERIFY(read);
        for (qint32 style = RadiatingColour; style <= TwoColoursOnly; ++style) {
            for (const qint16 resolution : {1, 7, 20, 32767}) {
                FractalDocument document = *read;
                document.colours.colourStyle = style;
                document.settings.resolution = resolution;
                // Small, but with restarts enough for several stretches.
                document.settings.totalPoints = 3001 + resolution;
                QTest::addRow("%s style %d resolution %d", qPrintable(name), style, resolution) << document;
            }
        }
    }
}

// Byte for byte the picture of the plain loop, and the random sequence goes
// on from the same number, whatever the threads and the stepping.
void TestRenderer::threadsGiveTheSerialPicture()
{
    QFETCH(FractalDocument, document);
    // Of an odd width, so that a layer's last page ends within a group of four pixels.
    const QSize size(163, 150);
    document.settings.scaleX = 1.0f / float(size.width() * RasterCanvas::unitsPerPixel);
    document.settings.scaleY = 1.0f / float(size.height() * RasterCanvas::unitsPerPixel);
    RandomGenerator serialRandom;
    const QImage serial = serialPicture(document, size, serialRandom);
    for (const ChainStepping stepping : {ChainStepping::Scalar, ChainStepping::Lanes}) {
        for (const int threads : {1, 2, 3, 7}) {
            RasterCanvas canvas(size, document.colours.backColour);
            RandomGenerator random;
            RunControl run;
            run.threads = threads;
            run.pointsPerThread = 1;
            QVERIFY(renderPicture(document, canvas, random, run, stepping));
            QVERIFY2(canvas.persistentImage() == serial,
                     qPrintable(QStringLiteral("%1 threads, stepping %2").arg(threads).arg(int(stepping))));
            QVERIFY(random == serialRandom);
            RandomGenerator after = serialRandom;
            QCOMPARE(random.next(), after.next());
        }
    }
}

void TestRenderer::randomDrawsAreCountedIn64Bits_data()
{
    QTest::addColumn<qint32>("style");
    QTest::addColumn<qint64>("iteration");
    QTest::addColumn<qint64>("draws");
    // One choice a point, one base point every 20th and one colour a point
    // in the random styles.
    QTest::newRow("a million random colours") << qint32(RandomColour) << qint64(1'000'001) << qint64(2'050'000);
    QTest::newRow("2,000,000,001 random colours")
        << qint32(RandomColour) << qint64(2'000'000'002) << qint64(4'100'000'002);
    QTest::newRow("2,000,000,001 radiating")
        << qint32(RadiatingColour) << qint64(2'000'000'002) << qint64(2'100'000'001);
}

void TestRenderer::randomDrawsAreCountedIn64Bits()
{
    QFETCH(qint32, style);
    QFETCH(qint64, iteration);
    QFETCH(qint64, draws);
    FractalDocument document = startupDocument(1.0f, 1.0f, 0);
    document.colours.colourStyle = style;
    QCOMPARE(randomDrawsBefore(document, iteration), draws);
}

void TestRenderer::stoppedRunKeepsASerialPrefix_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("one thread") << 1;
    QTest::newRow("three threads") << 3;
}

// A run stopped in the middle shows what the serial run had drawn by some
// point, and leaves the random sequence where the whole run would.
void TestRenderer::stoppedRunKeepsASerialPrefix()
{
    QFETCH(int, threads);
    const QSize size(160, 150);
    FractalDocument document = startupDocument(1.0f / 2400, 1.0f / 2250, 0);
    // Every point a colour of its own, so a stretch out of place shows.
    document.colours.colourStyle = ChronologicalColour;
    document.settings.totalPoints = 3'000'000;
    const QImage blank = RasterCanvas(size, 0).persistentImage();
    // The stop must land after the first points and before the last.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RasterCanvas canvas(size, 0);
        RandomGenerator random;
        std::atomic<bool> stop = false;
        RunControl run;
        run.stop = &stop;
        run.threads = threads;
        run.pointsPerThread = 1;
        run.onProgress = [&stop](qint64 steps, qint64) {
            if (steps >= 30)
                stop = true;
        };
        if (renderPicture(document, canvas, random, run) || canvas.persistentImage() == blank)
            continue;
        RandomGenerator whole;
        whole.discard(quint64(randomDrawsBefore(document, document.settings.totalPoints + 1)));
        QVERIFY(random == whole);
        RasterCanvas serial(size, 0);
        PrefixFinder prefix(serial, canvas.persistentImage());
        RandomGenerator serialRandom;
        renderFractal(document, serial.scaleWidth(), serial.scaleHeight(), serialRandom, prefix);
        QVERIFY2(prefix.matchedAfter > 0, "no serial prefix gives the stopped picture");
        return;
    }
    QFAIL("the run never stopped in the middle");
}

void TestRenderer::growingPictureIsTheSerialPrefix_data()
{
    QTest::addColumn<qint16>("resolution");
    QTest::addColumn<int>("threads");
    QTest::newRow("start-up resolution, one thread") << qint16(20) << 1;
    QTest::newRow("start-up resolution, three threads") << qint16(20) << 3;
    QTest::newRow("restart every point") << qint16(1) << 2;
    QTest::newRow("restarts rarer than steps") << qint16(700) << 2;
}

// Whenever the run hands over its picture, it holds exactly what the serial
// run draws up to that point, and that point is never short of a progress
// step and less than a restart beyond it.
void TestRenderer::growingPictureIsTheSerialPrefix()
{
    QFETCH(qint16, resolution);
    QFETCH(int, threads);
    const QSize size(160, 150);
    FractalDocument document = startupDocument(1.0f / float(size.width() * RasterCanvas::unitsPerPixel),
                                               1.0f / float(size.height() * RasterCanvas::unitsPerPixel), 0);
    document.colours.colourStyle = RandomColour;
    document.settings.resolution = resolution;
    document.settings.totalPoints = 6007;
    RasterCanvas canvas(size, 0);
    QList<std::pair<qint64, QImage>> prefixes;
    RunControl run;
    run.threads = threads;
    run.pointsPerThread = 1;
    run.onPrefixDrawn = [&](qint64 last) { prefixes.append({last, canvas.persistentImage().copy()}); };
    RandomGenerator random;
    QVERIFY(renderPicture(document, canvas, random, run));

    const qint64 step = progressStep(document.settings.totalPoints);
    QCOMPARE(prefixes.constLast().first, document.settings.totalPoints);
    qint64 stepsShown = 0;
    for (const auto &[last, picture] : prefixes) {
        for (; (stepsShown + 1) * step <= last; ++stepsShown)
            QVERIFY(last < (stepsShown + 1) * step + resolution);
        RasterCanvas serial(size, 0);
        CanvasRenderTarget target(serial, nullptr);
        RandomGenerator serialRandom;
        renderStretch(document, serial.scaleWidth(), serial.scaleHeight(), {1, last}, 0, serialRandom, target);
        QVERIFY2(picture == serial.persistentImage(), qPrintable(QString::number(last)));
    }
    QVERIFY(stepsShown >= 60);
}

QTEST_GUILESS_MAIN(TestRenderer)
#include "tst_renderer.moc"
