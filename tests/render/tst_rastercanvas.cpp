#include "document/colour.h"
#include "render/bitmapfile.h"
#include "render/rastercanvas.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

constexpr qint32 background = rgbColour(254, 253, 245);
constexpr qint32 ink = rgbColour(10, 20, 30);

qint32 pixel(const QImage &image, int x, int y)
{
    return RasterCanvas::fromRgb(image.pixel(x, y));
}

} // namespace

class TestRasterCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unitsMapToPixelsByFifteen();
    void drawingWithoutPersistenceIsOnlyShown();
    void clearingKeepsPictureAndBackColour();
    void resizingKeepsTheTopLeft();
    void linesAndBoxesIncludeTheirEnds();
    void farLinesEnd();
    void handOverKeepsThePictureWhenTheFileFails();
};

void TestRasterCanvas::unitsMapToPixelsByFifteen()
{
    QCOMPARE(RasterCanvas::unitsToPixel(0), 0);
    QCOMPARE(RasterCanvas::unitsToPixel(14.999), 0);
    QCOMPARE(RasterCanvas::unitsToPixel(15), 1);
    QCOMPARE(RasterCanvas::unitsToPixel(-0.5), -1);
    QCOMPARE(RasterCanvas::unitsToPixel(1e300), 1 << 20);
    QCOMPARE(RasterCanvas::unitsToPixel(std::nan("")), -(1 << 20));
    const RasterCanvas canvas(QSize(433, 405), background);
    QCOMPARE(canvas.scaleWidth(), 6495.0f);
    QCOMPARE(canvas.scaleHeight(), 6075.0f);
}

void TestRasterCanvas::drawingWithoutPersistenceIsOnlyShown()
{
    RasterCanvas canvas(QSize(20, 10), background);
    canvas.setPersistentDrawing(false);
    canvas.plot(30, 30, ink);
    QCOMPARE(pixel(canvas.shownImage(), 2, 2), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 2, 2), background);
    canvas.setPersistentDrawing(true);
    QCOMPARE(pixel(canvas.shownImage(), 2, 2), background);
    canvas.plot(30, 30, ink);
    QCOMPARE(pixel(canvas.persistentImage(), 2, 2), ink);
    QCOMPARE(canvas.point(30, 30), ink);
    QCOMPARE(canvas.point(-1, 0), -1);
}

void TestRasterCanvas::clearingKeepsPictureAndBackColour()
{
    RasterCanvas canvas(QSize(20, 10), background);
    QImage picture(5, 5, QImage::Format_RGB32);
    picture.fill(RasterCanvas::toRgb(ink));
    canvas.setPicture(picture);
    canvas.plot(150, 15, rgbColour(1, 1, 1));
    canvas.clear();
    QCOMPARE(pixel(canvas.persistentImage(), 4, 4), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 10, 1), background);
    canvas.setBackColour(rgbColour(0, 0, 255));
    QCOMPARE(pixel(canvas.persistentImage(), 10, 1), rgbColour(0, 0, 255));
    QCOMPARE(pixel(canvas.persistentImage(), 0, 0), ink);
}

void TestRasterCanvas::resizingKeepsTheTopLeft()
{
    RasterCanvas canvas(QSize(10, 10), background);
    canvas.plot(0, 0, ink);
    canvas.resize(QSize(30, 20));
    QCOMPARE(pixel(canvas.persistentImage(), 0, 0), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 25, 15), background);
    QCOMPARE(canvas.scaleWidth(), 450.0f);
}

void TestRasterCanvas::linesAndBoxesIncludeTheirEnds()
{
    RasterCanvas canvas(QSize(20, 20), background);
    canvas.drawLine(15, 15, 15 * 10, 15 * 5, ink);
    QCOMPARE(pixel(canvas.persistentImage(), 1, 1), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 10, 5), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 11, 5), background);
    canvas.fillBox(15 * 12, 15 * 12, 15 * 14, 15 * 13, ink);
    QCOMPARE(pixel(canvas.persistentImage(), 12, 12), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 14, 13), ink);
    QCOMPARE(pixel(canvas.persistentImage(), 15, 13), background);
    QCOMPARE(pixel(canvas.persistentImage(), 14, 14), background);
}

void TestRasterCanvas::farLinesEnd()
{
    RasterCanvas canvas(QSize(20, 20), background);
    canvas.drawLine(-1e30, 15, 1e30, 15, ink);
    QCOMPARE(pixel(canvas.persistentImage(), 19, 1), ink);
    canvas.drawLine(std::nan(""), 0, 0, std::nan(""), ink); // must simply end
}

void TestRasterCanvas::handOverKeepsThePictureWhenTheFileFails()
{
    QTemporaryDir dir;
    QImage picture(8, 4, QImage::Format_RGB32);
    picture.fill(RasterCanvas::toRgb(ink));

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
