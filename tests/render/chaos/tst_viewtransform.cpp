#include "document/fractaldocument.h"
#include "render/chaos/rasterplacement.h"
#include "render/chaos/viewtransform.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace Vorlane;

class TestViewTransform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unitsMapToPixelsByFifteen_data();
    void unitsMapToPixelsByFifteen();
    void pixelsInIntegersAreTheFloorOfThePlacement_data();
    void pixelsInIntegersAreTheFloorOfThePlacement();
};

void TestViewTransform::unitsMapToPixelsByFifteen_data()
{
    QTest::addColumn<double>("units");
    QTest::addColumn<int>("pixel");
    QTest::newRow("origin") << 0.0 << 0;
    QTest::newRow("just below a pixel's end") << 14.999 << 0;
    QTest::newRow("the next pixel") << 15.0 << 1;
    QTest::newRow("just left of the canvas") << -0.5 << -1;
    QTest::newRow("far off") << 1e300 << (1 << 20);
    QTest::newRow("not a number") << std::nan("") << -(1 << 20);
}

void TestViewTransform::unitsMapToPixelsByFifteen()
{
    QFETCH(double, units);
    QFETCH(int, pixel);
    QCOMPARE(canvasUnitsToPixel(units), pixel);
}

void TestViewTransform::pixelsInIntegersAreTheFloorOfThePlacement_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("centreX");
    QTest::addColumn<int>("centreY");
    QTest::newRow("start-up canvas, odd width: half units") << QSize(433, 403) << 0 << 0;
    QTest::newRow("even width, moved centre") << QSize(160, 150) << -1234 << 567;
    QTest::newRow("centre at the 16-bit limits") << QSize(7, 5) << 32767 << -32768;
    QTest::newRow("centre at the other limits, one pixel") << QSize(1, 1) << -32768 << 32767;
    QTest::newRow("wide and flat, odd centre") << QSize(4001, 2) << 15 << -7;
}

// The renderer's integer pixels are exactly the floor of the shared
// placement's canvas units, and of its float positions, for points across
// the whole 16-bit range.
void TestViewTransform::pixelsInIntegersAreTheFloorOfThePlacement()
{
    QFETCH(QSize, size);
    QFETCH(int, centreX);
    QFETCH(int, centreY);
    FractalDocument document;
    document.centreX = qint16(centreX);
    document.centreY = qint16(centreY);
    const ViewTransform view(document, size);
    const RasterPlacement canvas(QSizeF(size * canvasUnitsPerPixel), QPointF(centreX, centreY), 1.0);
    std::vector<int> values{-32768, -32767, -1, 0, 1, 32766, 32767};
    for (int x = -32768; x <= 32767; x += 97)
        values.push_back(x);
    for (const int value : values) {
        const CanvasPoint point{qint16(value), qint16(-value - 1)};
        const CanvasPosition position = view.position(point);
        QCOMPARE(view.column(point.x), int(std::floor(canvas.across(point.x) / canvasUnitsPerPixel)));
        QCOMPARE(view.row(point.y), int(std::floor(canvas.down(point.y) / canvasUnitsPerPixel)));
        QCOMPARE(view.column(point.x), canvasUnitsToPixel(position.x));
        QCOMPARE(view.row(point.y), canvasUnitsToPixel(position.y));
    }
}

QTEST_GUILESS_MAIN(TestViewTransform)
#include "tst_viewtransform.moc"
