#include "document/fractaldocument.h"
#include "render/chaos/viewtransform.h"

#include <QTest>

#include <cmath>

using namespace Vorlane;

class TestViewTransform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unitsMapToPixelsByFifteen_data();
    void unitsMapToPixelsByFifteen();
    void pixelsInIntegersMatchThePosition_data();
    void pixelsInIntegersMatchThePosition();
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

void TestViewTransform::pixelsInIntegersMatchThePosition_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("centreX");
    QTest::addColumn<int>("centreY");
    QTest::newRow("start-up canvas, odd width") << QSize(433, 403) << 0 << 0;
    QTest::newRow("moved centre") << QSize(160, 150) << -1234 << 567;
    QTest::newRow("centre at the 16-bit limits") << QSize(7, 5) << 32767 << -32768;
}

// The renderer's integer pixels are exactly those of its float positions, for
// points across the whole 16-bit range.
void TestViewTransform::pixelsInIntegersMatchThePosition()
{
    QFETCH(QSize, size);
    QFETCH(int, centreX);
    QFETCH(int, centreY);
    FractalDocument document;
    document.centreX = qint16(centreX);
    document.centreY = qint16(centreY);
    const ViewTransform view(document, size);
    for (int x = -32768; x <= 32767; x += 97) {
        const CanvasPoint point{qint16(x), qint16(-x - 1)};
        const CanvasPosition position = view.position(point);
        QCOMPARE(view.column(point.x), canvasUnitsToPixel(position.x));
        QCOMPARE(view.row(point.y), canvasUnitsToPixel(position.y));
    }
}

QTEST_GUILESS_MAIN(TestViewTransform)
#include "tst_viewtransform.moc"
