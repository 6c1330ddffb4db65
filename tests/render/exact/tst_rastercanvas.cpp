#include "document/colour.h"
#include "render/picturefile/bitmapfile.h"
#include "render/exact/rastercanvas.h"
#include "support/pictures.h"

#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <QTest>

using namespace Vorlane;

namespace {

constexpr qint32 background = rgbColour(254, 253, 245);
constexpr qint32 ink = rgbColour(10, 20, 30);

} // namespace

class TestRasterCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scaleIsFifteenUnitsAPixel();
    void drawingWithoutPersistenceIsOnlyShown();
    void clearingKeepsPictureAndBackColour();
    void resizingKeepsTheTopLeft();
    void growingAgainShowsWhatShrinkingHid();
    void linesIncludeTheirEnds();
    void farLinesEnd();
    void ellipseOutlines_data();
    void ellipseOutlines();
    void degenerateAndFarEllipses();
    void handOverKeepsThePictureWhenTheFileFails();
};

void TestRasterCanvas::scaleIsFifteenUnitsAPixel()
{
    const RasterCanvas canvas(QSize(433, 405), background);
    QCOMPARE(canvas.scaleWidth(), 6495.0f);
    QCOMPARE(canvas.scaleHeight(), 6075.0f);
}

void TestRasterCanvas::drawingWithoutPersistenceIsOnlyShown()
{
    RasterCanvas canvas(QSize(20, 10), background);
    canvas.setPersistentDrawing(false);
    canvas.plot(30, 30, ink);
    QCOMPARE(colourAt(canvas.shownImage(), 2, 2), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 2, 2), background);
    canvas.setPersistentDrawing(true);
    QCOMPARE(colourAt(canvas.shownImage(), 2, 2), background);
    canvas.plot(30, 30, ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 2, 2), ink);
    QCOMPARE(canvas.point(30, 30), ink);
    QCOMPARE(canvas.point(-1, 0), -1);
}

void TestRasterCanvas::clearingKeepsPictureAndBackColour()
{
    RasterCanvas canvas(QSize(20, 10), background);
    const QImage picture = filledImage(QSize(5, 5), ink);
    canvas.setPicture(picture);
    canvas.plot(150, 15, rgbColour(1, 1, 1));
    canvas.clear();
    QCOMPARE(colourAt(canvas.persistentImage(), 4, 4), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 10, 1), background);
    canvas.setBackColour(rgbColour(0, 0, 255));
    QCOMPARE(colourAt(canvas.persistentImage(), 10, 1), rgbColour(0, 0, 255));
    QCOMPARE(colourAt(canvas.persistentImage(), 0, 0), ink);
}

void TestRasterCanvas::resizingKeepsTheTopLeft()
{
    RasterCanvas canvas(QSize(10, 10), background);
    canvas.plot(0, 0, ink);
    canvas.resize(QSize(30, 20));
    QCOMPARE(colourAt(canvas.persistentImage(), 0, 0), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 25, 15), background);
    QCOMPARE(canvas.scaleWidth(), 450.0f);
}

void TestRasterCanvas::growingAgainShowsWhatShrinkingHid()
{
    RasterCanvas canvas(QSize(10, 10), background);
    canvas.setPicture(filledImage(QSize(10, 10), ink));
    canvas.plot(135, 135, rgbColour(1, 1, 1));
    canvas.resize(QSize(5, 12));
    canvas.plot(15, 165, rgbColour(2, 2, 2)); // drawn while small, kept too
    canvas.resize(QSize(12, 4));
    canvas.resize(QSize(12, 12));
    const QImage &grown = canvas.persistentImage();
    QCOMPARE(colourAt(grown, 9, 9), rgbColour(1, 1, 1));
    QCOMPARE(colourAt(grown, 8, 2), ink);
    QCOMPARE(colourAt(grown, 1, 11), rgbColour(2, 2, 2));
    QCOMPARE(colourAt(grown, 11, 5), background);
    QCOMPARE(colourAt(grown, 5, 11), background);

    // Clearing drops the drawing beyond the edges; the picture stays whole.
    canvas.resize(QSize(4, 4));
    canvas.clear();
    canvas.resize(QSize(12, 12));
    QCOMPARE(colourAt(canvas.persistentImage(), 9, 9), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 1, 11), background);
}

void TestRasterCanvas::linesIncludeTheirEnds()
{
    RasterCanvas canvas(QSize(20, 20), background);
    canvas.drawLine(15, 15, 15 * 10, 15 * 5, ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 1, 1), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 10, 5), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 11, 5), background);
    // Drawn from its end back to its start, a line covers both just the same.
    canvas.drawLine(15 * 14, 15 * 13, 15 * 12, 15 * 12, ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 12, 12), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 14, 13), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 15, 13), background);
    QCOMPARE(colourAt(canvas.persistentImage(), 11, 12), background);
}

void TestRasterCanvas::farLinesEnd()
{
    RasterCanvas canvas(QSize(20, 20), background);
    canvas.drawLine(-1e30, 15, 1e30, 15, ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 19, 1), ink);
    canvas.drawLine(std::nan(""), 0, 0, std::nan(""), ink); // must simply end
}

namespace {

QList<QPoint> inkedPixels(const QImage &image)
{
    QList<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (colourAt(image, x, y) == ink)
                pixels.append(QPoint(x, y));
        }
    }
    return pixels;
}

bool eightConnected(const QList<QPoint> &pixels)
{
    QList<QPoint> reached{pixels.first()};
    QList<QPoint> open = reached;
    while (!open.isEmpty()) {
        const QPoint from = open.takeLast();
        for (const QPoint &to : pixels) {
            if (qAbs(to.x() - from.x()) <= 1 && qAbs(to.y() - from.y()) <= 1 && !reached.contains(to)) {
                reached.append(to);
                open.append(to);
            }
        }
    }
    return reached.size() == pixels.size();
}

} // namespace

void TestRasterCanvas::ellipseOutlines_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::newRow("circle") << 9 << 9;
    QTest::newRow("wide") << 14 << 5;
    QTest::newRow("tall") << 3 << 14;
    QTest::newRow("needle") << 1 << 14;
}

// Every outline pixel lies on the ellipse within a pixel, the four extreme
// points are drawn, the outline is closed and symmetric, and aliased.
void TestRasterCanvas::ellipseOutlines()
{
    QFETCH(int, a);
    QFETCH(int, b);
    RasterCanvas canvas(QSize(40, 40), background);
    const QPoint c(20, 20);
    canvas.drawEllipse(c.x() * 15 + 7, c.y() * 15 + 7, a * 15, b * 15, ink);
    const QImage &image = canvas.persistentImage();
    const QList<QPoint> pixels = inkedPixels(image);
    for (const QPoint &p : pixels) {
        const double dx = p.x() - c.x();
        const double dy = p.y() - c.y();
        double distance = 1e9;
        for (int step = 0; step < 2000; ++step) {
            const double angle = step * M_PI / 1000;
            distance = qMin(distance, std::hypot(dx - a * std::cos(angle), dy - b * std::sin(angle)));
        }
        QVERIFY2(distance < 1.0, qPrintable(QStringLiteral("%1,%2").arg(dx).arg(dy)));
        QVERIFY(pixels.contains(QPoint(2 * c.x() - p.x(), p.y())));
        QVERIFY(pixels.contains(QPoint(p.x(), 2 * c.y() - p.y())));
    }
    for (const QPoint &extreme : {QPoint(a, 0), QPoint(-a, 0), QPoint(0, b), QPoint(0, -b)})
        QVERIFY(pixels.contains(c + extreme));
    QVERIFY(eightConnected(pixels));
    QCOMPARE(colourAt(image, c.x(), c.y()), background);
}

void TestRasterCanvas::degenerateAndFarEllipses()
{
    RasterCanvas canvas(QSize(30, 30), background);
    canvas.drawEllipse(150, 150, 0, 45, ink);
    QCOMPARE(inkedPixels(canvas.persistentImage()).size(), 7); // rows 7 to 13 of column 10
    QCOMPARE(colourAt(canvas.persistentImage(), 10, 7), ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 10, 13), ink);
    canvas.clear();
    canvas.drawEllipse(150, 150, -30, 0, ink); // a negative semi-axis counts by its magnitude
    QCOMPARE(inkedPixels(canvas.persistentImage()).size(), 5);
    canvas.clear();
    canvas.drawEllipse(150, 150, 0, 0, ink);
    QCOMPARE(inkedPixels(canvas.persistentImage()), QList<QPoint>{QPoint(10, 10)});
    canvas.clear();
    // Far beyond the canvas or undefined: it must simply end.
    canvas.drawEllipse(150, 150, 1e30, 45, ink);
    canvas.drawEllipse(150, 150, std::nan(""), std::numeric_limits<double>::infinity(), ink);
    canvas.drawEllipse(-1e30, 1e30, 15, 15, ink);
    QCOMPARE(colourAt(canvas.persistentImage(), 0, 7), ink); // the flat ellipse's top and bottom run across
}

void TestRasterCanvas::handOverKeepsThePictureWhenTheFileFails()
{
    QTemporaryDir dir;
    const QImage picture = filledImage(QSize(8, 4), ink);

    HandOverBitmap written(dir.filePath(QStringLiteral("TEMP.BMP")));
    written.store(picture);
    QFile file(written.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.seek(28);
    QCOMPARE(int(file.read(1).at(0)), 24); // bits per pixel
    QCOMPARE(written.load(), picture);

    HandOverBitmap unwritable(dir.filePath(QStringLiteral("missing/TEMP.BMP")));
    unwritable.store(picture);
    QCOMPARE(unwritable.load(), picture);
}

QTEST_GUILESS_MAIN(TestRasterCanvas)
#include "tst_rastercanvas.moc"
