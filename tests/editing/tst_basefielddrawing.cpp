#include "common/randomgenerator.h"
#include "editing/basefielddrawing.h"
#include "editing/pensweep.h"
#include "support/pictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

// W = 600, H = 450: 40 × 30 pixels. u = x + 300, v = 650 − y.
constexpr FieldRange range{-300, 300, 200, 650};

int inkCount(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += colourAt(image, x, y) == BaseFieldDrawing::ink;
    }
    return count;
}

int passes(const PenSweep &pen, float bound)
{
    int count = 0;
    pen.sweep(bound, [&count](float, float) { ++count; });
    return count;
}

QList<BasePoint> capture(const BaseFieldDrawing &drawing)
{
    RandomGenerator random;
    return drawing.capture(random, [](qint32) {}).points;
}

} // namespace

class TestBaseFieldDrawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void penSweep_data();
    void penSweep();
    void penWidthFromTypedText();
    void openingPlotsThePointsAndCommits();
    void pressAndReleaseWithoutMovementDrawsNothingButCommits_data();
    void pressAndReleaseWithoutMovementDrawsNothingButCommits();
    void lineToolIsARubberBand();
    void pencilContinuesFromTheLastPoint();
    void erasedPixelsAreNotCaptured();
    void numericLineIsCapturedOnTheGrid();
    void numericEllipseReplacesItsPreview();
    void verticalEllipseDragDegenerates();
    void editorStateSurvivesReopening();
    void snapshotStaysInMemoryWhenTheFileFails();
    void areaSmallerThanAPixelHoldsNothing();

private:
    QString commitPath() const { return m_folder->filePath(QStringLiteral("TEST.BMP")); }

    std::unique_ptr<QTemporaryDir> m_folder;
    BaseFieldEditorState m_state;
};

void TestBaseFieldDrawing::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_state = BaseFieldEditorState();
}

void TestBaseFieldDrawing::penSweep_data()
{
    QTest::addColumn<float>("penWidthX");
    QTest::addColumn<float>("penWidthY");
    QTest::addColumn<float>("step");
    QTest::addColumn<float>("sInc");
    QTest::addColumn<int>("linePasses");
    QTest::addColumn<int>("ellipsePasses");
    QTest::newRow("untouched") << 0.0f << 0.0f << 1.1f << 1.1f << 1 << 1;
    QTest::newRow("typed 0") << 1.0f << 1.0f << 1.1f << 1.1f << 1 << 1;
    QTest::newRow("1 x 1001") << 1.0f << 1001.0f << 0.101f << 101.0f << 5 << 10;
    QTest::newRow("101 x 101") << 101.0f << 101.0f << 1.1f << 1.1f << 46 << 92;
    QTest::newRow("101 x 1") << 101.0f << 1.0f << 0.1099f << 0.00109f << 460 << 919;
    QTest::newRow("negative by magnitude") << -5.0f << -5.0f << 1.1f << 1.1f << 3 << 5;
    QTest::newRow("endless held") << -1e30f << std::numeric_limits<float>::infinity() << 1.1f << 1.1f << 29796 << 59542;
}

void TestBaseFieldDrawing::penSweep()
{
    QFETCH(float, penWidthX);
    QFETCH(float, penWidthY);
    QFETCH(float, step);
    QFETCH(float, sInc);
    const PenSweep pen(penWidthX, penWidthY);
    QVERIFY2(qAbs(pen.step - step) < 0.0005f * step, qPrintable(QString::number(pen.step)));
    QVERIFY2(qAbs(pen.sInc - sInc) < 0.01f * sInc, qPrintable(QString::number(pen.sInc)));
    QTEST(passes(pen, pen.extentX / 2.0f), "linePasses");
    QTEST(passes(pen, pen.extentX), "ellipsePasses");
    // s grows before the first pass draws.
    float firstS = 0.0f;
    pen.sweep(0.0f, [&firstS](float, float s) { firstS = s; });
    QCOMPARE(firstS, pen.sInc);
}

void TestBaseFieldDrawing::penWidthFromTypedText()
{
    QCOMPARE(penWidthFromText(QStringLiteral("0"), 1.0f), 1.0f);
    QCOMPARE(penWidthFromText(QString(), 0.25f), 1.0f);
    QCOMPARE(penWidthFromText(QStringLiteral(" 2"), 0.5f), 5.0f);
    QCOMPARE(penWidthFromText(QStringLiteral("-3"), 1.0f), -2.0f);
    QCOMPARE(penWidthFromText(QStringLiteral("1e300"), 1.0f), std::numeric_limits<float>::max());
}

void TestBaseFieldDrawing::openingPlotsThePointsAndCommits()
{
    m_state.dragging = true;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    QCOMPARE(drawing.area().pixelSize(), QSize(40, 30));
    drawing.open({{0, 425}, {-300, 650}, {1000, 425}});
    QVERIFY(!m_state.dragging);
    QCOMPARE(colourAt(drawing.area(), 20, 15), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 0, 0), BaseFieldDrawing::ink);
    QCOMPARE(inkCount(drawing.area().persistentImage()), 2);
    QCOMPARE(readBitmap(commitPath()), drawing.area().persistentImage());
    QCOMPARE(drawing.snapshot(), drawing.area().persistentImage());
}

void TestBaseFieldDrawing::pressAndReleaseWithoutMovementDrawsNothingButCommits_data()
{
    QTest::addColumn<BaseFieldTool>("tool");
    for (const BaseFieldTool tool : {NoTool, StraightLine, EllipseTool, Pencil, Eraser})
        QTest::addRow("tool %d", tool) << tool;
}

void TestBaseFieldDrawing::pressAndReleaseWithoutMovementDrawsNothingButCommits()
{
    QFETCH(BaseFieldTool, tool);
    m_state.currentTool = tool;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({{0, 425}});
    const QImage before = drawing.area().persistentImage();
    QVERIFY(QFile::remove(commitPath()));
    drawing.press(300.0f, 225.0f);
    QVERIFY(m_state.dragging);
    drawing.release();
    QVERIFY(!m_state.dragging);
    QCOMPARE(drawing.area().persistentImage(), before);
    QVERIFY(QFile::exists(commitPath()));
}

void TestBaseFieldDrawing::lineToolIsARubberBand()
{
    m_state.currentTool = StraightLine;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    drawing.press(30.0f, 30.0f);
    drawing.move(300.0f, 30.0f);
    QCOMPARE(colourAt(drawing.area(), 15, 2), BaseFieldDrawing::ink);
    drawing.move(30.0f, 300.0f);
    QCOMPARE(colourAt(drawing.area(), 15, 2), BaseFieldDrawing::background);
    QCOMPARE(colourAt(drawing.area(), 2, 15), BaseFieldDrawing::ink);
    drawing.release();
    QCOMPARE(drawing.snapshot(), drawing.area().persistentImage());
    // The next line starts a new rubber band over the fixed one.
    drawing.press(450.0f, 30.0f);
    drawing.move(450.0f, 300.0f);
    QCOMPARE(colourAt(drawing.area(), 2, 15), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 30, 15), BaseFieldDrawing::ink);
}

void TestBaseFieldDrawing::pencilContinuesFromTheLastPoint()
{
    m_state.currentTool = Pencil;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    drawing.press(12.5f, 30.0f);
    QCOMPARE(m_state.anchorX, qint16(12));
    drawing.move(300.0f, 30.0f);
    drawing.move(301.5f, 300.25f);
    QCOMPARE(m_state.anchorX, qint16(302));
    QCOMPARE(m_state.anchorY, 300.25f);
    QCOMPARE(colourAt(drawing.area(), 10, 2), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 20, 10), BaseFieldDrawing::ink);
    // Without a press the pencil keeps drawing while dragging lasts.
    drawing.release();
    drawing.move(500.0f, 400.0f);
    QCOMPARE(colourAt(drawing.area(), 33, 26), BaseFieldDrawing::background);
}

void TestBaseFieldDrawing::erasedPixelsAreNotCaptured()
{
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    m_state.currentTool = Pencil;
    drawing.press(0.0f, 150.0f);
    drawing.move(599.0f, 150.0f);
    drawing.release();
    const QList<BasePoint> inked = capture(drawing);
    QCOMPARE(inked.size(), 60 * 3);

    m_state.currentTool = Eraser;
    m_state.penWidthX = 29.0f; // u 285.5 to 314.5: pixel columns 19 and 20
    drawing.press(300.0f, 100.0f);
    drawing.move(300.0f, 200.0f);
    drawing.release();
    QCOMPARE(colourAt(drawing.area(), 20, 10), BaseFieldDrawing::background);
    const QList<BasePoint> left = capture(drawing);
    QCOMPARE(left.size(), inked.size() - 3 * 3);
    for (const BasePoint &point : left)
        QVERIFY(point.x < -10 || point.x > 10);
}

// x = display / 0.5, y = display / 2: a line from (−200, 500) to (100, 500),
// drawn as the rows just above and below v = 150.
void TestBaseFieldDrawing::numericLineIsCapturedOnTheGrid()
{
    m_state.currentTool = StraightLine;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    drawing.manual({QStringLiteral("-100"), QStringLiteral("1000"), QStringLiteral("50"), QStringLiteral("1000")}, 0.5f,
                   2.0f);
    QVERIFY(m_state.dragging);
    QList<BasePoint> expected;
    for (int x = -210; x <= 100; x += 10) {
        for (const int y : {490, 500, 510})
            expected.append({qint16(x), qint16(y)});
    }
    QCOMPARE(capture(drawing), expected); // a preview is captured like any ink
    drawing.release();
    QCOMPARE(capture(drawing), expected);
}

void TestBaseFieldDrawing::numericEllipseReplacesItsPreview()
{
    m_state.currentTool = EllipseTool;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    // Centre (0, 425) is u 300, v 225; 300 wide reaches u 150 to 450.
    drawing.manual({QStringLiteral("0"), QStringLiteral("425"), QStringLiteral("300"), QStringLiteral("90")}, 1.0f, 1.0f);
    QCOMPARE(colourAt(drawing.area(), 30, 15), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 10, 15), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 20, 12), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 20, 15), BaseFieldDrawing::background);
    drawing.manual({QStringLiteral("0"), QStringLiteral("425"), QStringLiteral("150"), QStringLiteral("90")}, 1.0f, 1.0f);
    QCOMPARE(colourAt(drawing.area(), 30, 15), BaseFieldDrawing::background);
    QCOMPARE(colourAt(drawing.area(), 25, 15), BaseFieldDrawing::ink);
    // Other tools ignore the numbers.
    m_state.currentTool = Pencil;
    const QImage before = drawing.area().persistentImage();
    drawing.manual({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("9"), QStringLiteral("9")}, 1.0f, 1.0f);
    QCOMPARE(drawing.area().persistentImage(), before);
}

void TestBaseFieldDrawing::verticalEllipseDragDegenerates()
{
    m_state.currentTool = EllipseTool;
    BaseFieldDrawing drawing(range, commitPath(), m_state);
    drawing.open({});
    drawing.press(300.0f, 100.0f);
    drawing.move(300.0f, 300.0f);
    QCOMPARE(inkCount(drawing.area().persistentImage()), 1);
    QCOMPARE(colourAt(drawing.area(), 20, 13), BaseFieldDrawing::ink);
}

void TestBaseFieldDrawing::editorStateSurvivesReopening()
{
    {
        BaseFieldDrawing drawing(range, commitPath(), m_state);
        drawing.open({});
        m_state.currentTool = Pencil;
        m_state.penWidthX = 31.0f;
        drawing.press(30.0f, 30.0f);
    }
    BaseFieldDrawing reopened(range, commitPath(), m_state);
    reopened.open({});
    QVERIFY(!m_state.dragging);
    QCOMPARE(m_state.currentTool, Pencil);
    QCOMPARE(m_state.penWidthX, 31.0f);
    reopened.press(300.0f, 300.0f);
    reopened.move(300.0f, 400.0f);
    QCOMPARE(colourAt(reopened.area(), 19, 22), BaseFieldDrawing::ink); // the wide pen reaches u 285
}

void TestBaseFieldDrawing::snapshotStaysInMemoryWhenTheFileFails()
{
    m_state.currentTool = StraightLine;
    BaseFieldDrawing drawing(range, m_folder->filePath(QStringLiteral("missing/TEST.BMP")), m_state);
    drawing.open({{0, 425}});
    drawing.press(30.0f, 30.0f);
    drawing.move(300.0f, 30.0f);
    drawing.release();
    drawing.press(30.0f, 300.0f);
    drawing.move(300.0f, 300.0f);
    QCOMPARE(colourAt(drawing.area(), 15, 2), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 20, 15), BaseFieldDrawing::ink);
    QCOMPARE(colourAt(drawing.area(), 15, 20), BaseFieldDrawing::ink);
}

void TestBaseFieldDrawing::areaSmallerThanAPixelHoldsNothing()
{
    m_state.currentTool = Pencil;
    BaseFieldDrawing drawing({0, 14, 0, 14}, commitPath(), m_state);
    drawing.open({{5, 5}});
    drawing.press(0.0f, 0.0f);
    drawing.move(14.0f, 14.0f);
    drawing.release();
    QVERIFY(drawing.area().persistentImage().isNull());
    QVERIFY(capture(drawing).isEmpty());
}

QTEST_GUILESS_MAIN(TestBaseFieldDrawing)
#include "tst_basefielddrawing.moc"
