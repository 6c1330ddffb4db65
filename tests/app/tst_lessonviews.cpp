#include "app/fractaldimensionwindow.h"
#include "app/levelspanel.h"
#include "app/slowmotionwindow.h"
#include "document/documentfile.h"
#include "render/lesson/levels.h"
#include "support/mainwindowfixture.h"
#include "widgets/canvasview.h"

#include <QDir>
#include <QLabel>
#include <QSlider>
#include <QTest>

using namespace Vorlane;

class TestLessonViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void arrowsStepTheLevelsAndClosingBringsThePictureBack();
    void slowMotionStepsAndPauses();
    void dimensionWindowShowsTheTrianglesDimensions();
};

void TestLessonViews::arrowsStepTheLevelsAndClosingBringsThePictureBack()
{
    MainWindowFixture f;
    f.window->startRendering();
    const QImage rendered = f.window->visibleCanvas()->canvas().shownImage();
    f.run(QStringLiteral("levels"));
    auto *panel = f.window->findChild<LevelsPanel *>();
    QVERIFY(panel && panel->isVisible());
    auto *slider = panel->findChild<QSlider *>(QStringLiteral("level"));
    QVERIFY(slider->maximum() >= 8);
    const QSize size = f.window->visibleCanvas()->canvas().pixelSize();
    for (int level : {1, 2, 1}) {
        QTest::keyClick(slider, level > slider->value() ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(slider->value(), level);
        QCOMPARE(f.window->visibleCanvas()->canvas().shownImage(), levelPicture(f.session().document(), level, size));
    }
    panel->close();
    QCOMPARE(f.window->visibleCanvas()->canvas().shownImage(), rendered);
}

void TestLessonViews::slowMotionStepsAndPauses()
{
    MainWindowFixture f;
    f.run(QStringLiteral("slowMotion"));
    auto *slow = f.window->findChild<SlowMotionWindow *>();
    QVERIFY(slow && slow->isVisible());
    auto *position = slow->findChild<QLabel *>(QStringLiteral("position"));
    QTest::keyClick(slow, Qt::Key_Right);
    QTest::keyClick(slow, Qt::Key_Right);
    QCOMPARE(position->text(), QStringLiteral("Point 2 of 45,000"));
    slow->findChild<QSlider *>(QStringLiteral("speed"))->setValue(9); // 1,000 a second
    QTest::keyClick(slow, Qt::Key_Space);
    QTest::qWait(200);
    QTest::keyClick(slow, Qt::Key_Space);
    const QString paused = position->text();
    QVERIFY2(paused != QStringLiteral("Point 2 of 45,000"), qPrintable(paused));
    QTest::qWait(100);
    QCOMPARE(position->text(), paused);
}

void TestLessonViews::dimensionWindowShowsTheTrianglesDimensions()
{
    MainWindowFixture f;
    QVERIFY(f.window->readDocumentFile(QFINDTESTDATA("../../Fractals/Sierpinski Triangle.vrf")));
    f.window->startRendering();
    f.run(QStringLiteral("dimension"));
    auto *window = f.window->findChild<FractalDimensionWindow *>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Fractal Dimension"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("mapsDimension"))->text(),
             QStringLiteral("Similarity dimension: 1.585"));
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("boxCountingDimension"))->text().contains(QLatin1String(": 1.5")));
}

QTEST_MAIN(TestLessonViews)
#include "tst_lessonviews.moc"
