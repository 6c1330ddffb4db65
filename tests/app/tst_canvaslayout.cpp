#include "app/canvaslayout.h"

#include <QTest>

using namespace Vorlane;

class TestCanvasLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsTheOuterSize_data();
    void followsTheOuterSize();
    void tooSmallWindowHasNone_data();
    void tooSmallWindowHasNone();
};

void TestCanvasLayout::followsTheOuterSize_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<int>("clientHeight");
    QTest::addColumn<QRect>("canvas");
    QTest::addColumn<QRect>("progressBar");

    // A classic frame of 405 twips and a menu bar of 300 leave the bar 120
    // twips above the client area's bottom.
    QTest::newRow("first opening") << QSize(6840, 7965) << 7260 << QRect(120, 720, 6495, 6060)
                                   << QRect(120, 6885, 6495, 255);
    QTest::newRow("fallback size") << QSize(6840, 6040) << 5335 << QRect(120, 720, 6495, 4135)
                                   << QRect(120, 4960, 6495, 255);
    QTest::newRow("smallest") << QSize(345, 1905) << 1200 << QRect(120, 720, 0, 0) << QRect(120, 825, 0, 255);
    // A frame and menu bar 120 twips taller than the layout allows for: the
    // bar ends at the client area's bottom, the canvas 105 above it.
    QTest::newRow("tall frame") << QSize(6840, 7965) << 7020 << QRect(120, 720, 6495, 5940)
                                << QRect(120, 6765, 6495, 255);
}

void TestCanvasLayout::followsTheOuterSize()
{
    QFETCH(QSize, outer);
    QFETCH(int, clientHeight);
    QFETCH(QRect, canvas);
    QFETCH(QRect, progressBar);
    const std::optional<CanvasLayout> layout = canvasLayout(outer, clientHeight);
    QVERIFY(layout);
    QCOMPARE(layout->canvas, canvas);
    QCOMPARE(layout->progressBar, progressBar);
}

void TestCanvasLayout::tooSmallWindowHasNone_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::newRow("narrow") << QSize(344, 7000);
    QTest::newRow("low") << QSize(6840, 1904);
    QTest::newRow("1800 high") << QSize(6840, 1800);
    QTest::newRow("empty") << QSize(0, 0);
}

void TestCanvasLayout::tooSmallWindowHasNone()
{
    QFETCH(QSize, outer);
    QVERIFY(!canvasLayout(outer, outer.height()));
}

QTEST_GUILESS_MAIN(TestCanvasLayout)
#include "tst_canvaslayout.moc"
