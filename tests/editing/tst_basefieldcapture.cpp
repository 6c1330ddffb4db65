#include "common/randomgenerator.h"
#include "common/rounding.h"
#include "document/colour.h"
#include "editing/basefieldcapture.h"
#include "render/exact/rastercanvas.h"

#include <QTest>

using namespace Vorlane;

namespace {

constexpr qint32 grey = rgbColour(224, 224, 224);
constexpr qint32 black = rgbColour(0, 0, 0);

// An area of width × height units, in the drawing area's pixel size.
RasterCanvas area(int width, int height)
{
    return RasterCanvas(QSize(width / RasterCanvas::unitsPerPixel, height / RasterCanvas::unitsPerPixel), grey);
}

void inkPixel(RasterCanvas &canvas, int px, int py, qint32 colour = black)
{
    canvas.plot(px * RasterCanvas::unitsPerPixel, py * RasterCanvas::unitsPerPixel, colour);
}

BaseFieldCapture capture(const RasterCanvas &canvas, const FieldRange &range)
{
    RandomGenerator random;
    return captureBaseField(canvas, range, float(range.fieldXMax - range.fieldXMin),
                            float(range.fieldYMax - range.fieldYMin), random, [](qint32) {});
}

} // namespace

class TestBaseFieldCapture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneInkPixelGivesOneToFourPoints_data();
    void oneInkPixelGivesOneToFourPoints();
    void pointsComeColumnByColumn();
    void bottomRowAndRightEdgeYieldNothing_data();
    void bottomRowAndRightEdgeYieldNothing();
    void onlyExactBlackCounts();
    void sameAreaGivesTheSameList();
    void stripFlashesThreeDrawsPerColumn();
    void stopsAtTheLargestPointCount();
};

void TestBaseFieldCapture::oneInkPixelGivesOneToFourPoints_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QList<BasePoint>>("points");
    // Range x −100..200, y 50..350: pixel column p covers u 15p to 15p + 15,
    // pixel row q covers v 15q to 15q + 15, v = 300 − (y − 50).
    QTest::newRow("odd column, odd row") << QPoint(3, 5) << QList<BasePoint>{{-50, 270}};
    QTest::newRow("even column, odd row") << QPoint(4, 5) << QList<BasePoint>{{-40, 270}, {-30, 270}};
    QTest::newRow("odd column, even row") << QPoint(3, 4) << QList<BasePoint>{{-50, 280}, {-50, 290}};
    QTest::newRow("even column, even row")
        << QPoint(0, 0) << QList<BasePoint>{{-100, 340}, {-100, 350}, {-90, 340}, {-90, 350}};
}

void TestBaseFieldCapture::oneInkPixelGivesOneToFourPoints()
{
    QFETCH(QPoint, pixel);
    RasterCanvas canvas = area(300, 300);
    inkPixel(canvas, pixel.x(), pixel.y());
    const BaseFieldCapture found = capture(canvas, {-100, 200, 50, 350});
    QTEST(found.points, "points");
    QVERIFY(!found.stoppedAtLimit);
}

void TestBaseFieldCapture::pointsComeColumnByColumn()
{
    RasterCanvas canvas = area(300, 300);
    inkPixel(canvas, 5, 1); // u 75..90, v 15..30: x 80, y 280
    inkPixel(canvas, 3, 9); // u 45..60, v 135..150: x 50, y 160
    inkPixel(canvas, 3, 1); // x 50, y 280
    const BaseFieldCapture found = capture(canvas, {0, 300, 0, 300});
    QCOMPARE(found.points, (QList<BasePoint>{{50, 160}, {50, 280}, {80, 280}}));
}

void TestBaseFieldCapture::bottomRowAndRightEdgeYieldNothing_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("multiples of 30") << 300 << 300 << 30 << 30;
    // 33 pixels hold 495 units: grid line 490 is the last inside.
    QTest::newRow("not multiples of 15") << 500 << 500 << 50 << 50;
    QTest::newRow("1 unit: no pixel at all") << 1 << 1 << 0 << 0;
}

// A wholly inked area: the grid lines on its right edge (u = W) and its
// bottom edge (v = H, the first row y = fieldYMin) lie outside its image.
void TestBaseFieldCapture::bottomRowAndRightEdgeYieldNothing()
{
    QFETCH(int, width);
    QFETCH(int, height);
    RasterCanvas canvas = area(width, height);
    canvas.setBackColour(black);
    const FieldRange range{-20, qint16(width - 20), 40, qint16(height + 40)};
    const BaseFieldCapture found = capture(canvas, range);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QCOMPARE(found.points.size(), columns * rows);
    for (const BasePoint &point : found.points) {
        QVERIFY(point.x < range.fieldXMin + width);
        QVERIFY(point.y > range.fieldYMin);
    }
}

void TestBaseFieldCapture::onlyExactBlackCounts()
{
    RasterCanvas canvas = area(300, 300);
    inkPixel(canvas, 1, 1, rgbColour(0, 0, 1));
    inkPixel(canvas, 3, 1, rgbColour(1, 0, 0));
    inkPixel(canvas, 5, 1, rgbColour(0, 1, 0));
    QVERIFY(capture(canvas, {0, 300, 0, 300}).points.isEmpty());
}

void TestBaseFieldCapture::sameAreaGivesTheSameList()
{
    RasterCanvas canvas = area(600, 450);
    canvas.drawLine(0, 0, 600, 450, black);
    canvas.drawEllipse(300, 200, 150, 100, black);
    const FieldRange range{-300, 300, 1000, 1450};
    const BaseFieldCapture first = capture(canvas, range);
    QVERIFY(first.points.size() > 100);
    QCOMPARE(capture(canvas, range).points, first.points);
}

void TestBaseFieldCapture::stripFlashesThreeDrawsPerColumn()
{
    RasterCanvas canvas = area(300, 150);
    RandomGenerator random;
    QList<qint32> colours;
    captureBaseField(canvas, {0, 300, 0, 150}, 300.0f, 150.0f, random,
                     [&colours](qint32 colour) { colours.append(colour); });
    QCOMPARE(colours.size(), 31);
    RandomGenerator expected;
    for (const qint32 colour : colours) {
        const int red = cint32(255.0f * expected.next());
        const int green = cint32(255.0f * expected.next());
        const int blue = cint32(255.0f * expected.next());
        QCOMPARE(colour, rgbColour(red, green, blue));
    }
    QCOMPARE(random.next(), expected.next());
}

void TestBaseFieldCapture::stopsAtTheLargestPointCount()
{
    RasterCanvas canvas = area(2000, 2000);
    canvas.setBackColour(black);
    const BaseFieldCapture found = capture(canvas, {0, 2000, 0, 2000});
    QVERIFY(found.stoppedAtLimit);
    QCOMPARE(found.points.size(), qsizetype(maxBasePoints));
    QCOMPARE(found.points.last(), (BasePoint{1630, 1670})); // 163 full columns of 200, then 167 rows from 10
}

QTEST_GUILESS_MAIN(TestBaseFieldCapture)
#include "tst_basefieldcapture.moc"
