#include "document/colour.h"
#include "document/fractaldocument.h"
#include "app/panning.h"
#include "render/exact/rastercanvas.h"
#include "support/pictures.h"

#include <QTest>

using namespace Vorlane;

class TestPanning : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void moveCentre_data();
    void moveCentre();
    void axesTakeTheComplementOfTheBackground_data();
    void axesTakeTheComplementOfTheBackground();
    void axesCrossAtTheFractalsOrigin();
};

void TestPanning::moveCentre_data()
{
    QTest::addColumn<PanDirection>("direction");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<qint16>("centreX");
    QTest::addColumn<qint16>("centreY");
    QTest::addColumn<qint16>("movedX");
    QTest::addColumn<qint16>("movedY");

    QTest::newRow("left") << PanDirection::Left << 0 << qint16(0) << qint16(2000) << qint16(20) << qint16(2000);
    QTest::newRow("left, Ctrl") << PanDirection::Left << int(CtrlKey) << qint16(0) << qint16(2000) << qint16(60)
                                << qint16(2000);
    QTest::newRow("right, Shift") << PanDirection::Right << int(ShiftKey) << qint16(0) << qint16(0) << qint16(-40)
                                  << qint16(0);
    QTest::newRow("up, Alt") << PanDirection::Up << int(AltKey) << qint16(0) << qint16(0) << qint16(0)
                             << qint16(-100);
    QTest::newRow("down, all three") << PanDirection::Down << int(ShiftKey | CtrlKey | AltKey) << qint16(0)
                                     << qint16(0) << qint16(0) << qint16(160);
    QTest::newRow("left stops at 32767") << PanDirection::Left << 0 << qint16(32760) << qint16(0) << qint16(32767)
                                         << qint16(0);
    QTest::newRow("left stays at 32767") << PanDirection::Left << int(AltKey) << qint16(32767) << qint16(0)
                                         << qint16(32767) << qint16(0);
    QTest::newRow("right stops at -32768") << PanDirection::Right << 0 << qint16(-32760) << qint16(0)
                                           << qint16(-32768) << qint16(0);
    QTest::newRow("down stops at 32767") << PanDirection::Down << int(CtrlKey) << qint16(0) << qint16(32730)
                                         << qint16(0) << qint16(32767);
    QTest::newRow("up stops at -32768") << PanDirection::Up << 0 << qint16(0) << qint16(-32768) << qint16(0)
                                        << qint16(-32768);
}

void TestPanning::moveCentre()
{
    QFETCH(PanDirection, direction);
    QFETCH(int, modifiers);
    FractalDocument document;
    QFETCH(qint16, centreX);
    QFETCH(qint16, centreY);
    document.centreX = centreX;
    document.centreY = centreY;
    Vorlane::moveCentre(document, direction, modifiers);
    QTEST(document.centreX, "movedX");
    QTEST(document.centreY, "movedY");
}

void TestPanning::axesTakeTheComplementOfTheBackground_data()
{
    QTest::addColumn<qint32>("background");
    QTest::addColumn<qint32>("axes");
    QTest::newRow("start-up background") << rgbColour(254, 253, 245) << rgbColour(1, 2, 10);
    QTest::newRow("white") << rgbColour(255, 255, 255) << rgbColour(0, 0, 0);
    QTest::newRow("black") << rgbColour(0, 0, 0) << rgbColour(255, 255, 255);
}

void TestPanning::axesTakeTheComplementOfTheBackground()
{
    QFETCH(qint32, background);
    RasterCanvas canvas(QSize(40, 30), background);
    drawAxes(canvas, 0, 0);
    QTEST(canvas.point(20 * 15, 2 * 15), "axes");
    QCOMPARE(canvas.point(2 * 15, 2 * 15), background);
}

void TestPanning::axesCrossAtTheFractalsOrigin()
{
    // Scale 1500 × 1200: the origin lies at (750 − 300, 600 + (−150)) = (450, 450),
    // the pixel (30, 30).
    const qint32 background = rgbColour(254, 253, 245);
    const qint32 axes = rgbColour(1, 2, 10);
    RasterCanvas canvas(QSize(100, 80), background);
    drawAxes(canvas, 300, -150);
    for (int pixel : {0, 29, 31, 99})
        QCOMPARE(canvas.point(pixel * 15, 30 * 15), axes);
    for (int pixel : {0, 29, 31, 79})
        QCOMPARE(canvas.point(30 * 15, pixel * 15), axes);
    QCOMPARE(canvas.point(31 * 15, 31 * 15), background);
    QCOMPARE(canvas.point(29 * 15, 29 * 15), background);
    // The axes persist: they are part of the picture until it is set again.
    QCOMPARE(colourAt(canvas, 30, 10), axes);
}

QTEST_GUILESS_MAIN(TestPanning)
#include "tst_panning.moc"
