#include "common/twips.h"
#include "document/colour.h"
#include "widgets/canvasview.h"
#include "widgets/progressstrip.h"
#include "support/mainwindowfixture.h"
#include "support/pictures.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace Vorlane;

class TestCanvasViewing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithItsClientArea();
    void arrowButtonsSitAtTheirPlaces_data();
    void arrowButtonsSitAtTheirPlaces();
    void pressMovesTheCentreAndShowsTheAxes_data();
    void pressMovesTheCentreAndShowsTheAxes();
    void releaseRestoresTheLastPictureUnmoved();
    void tooLowWindowSnapsBack();
    void resizeResetsTheScales();
    void minimisedWindowKeepsItsLayout();
    void restoredWindowShowsTheWholeLastPicture();

private:
    QToolButton *button(const char *name) const;

    std::unique_ptr<MainWindowFixture> m_fixture;
    MainWindow *m_window = nullptr;
    ProgramState *m_state = nullptr;
};

void TestCanvasViewing::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = m_fixture->window.get();
    m_state = &m_fixture->state;
}

void TestCanvasViewing::cleanup()
{
    QVERIFY(!m_fixture->dialogs.hasUnexpected());
    m_fixture.reset();
}

QToolButton *TestCanvasViewing::button(const char *name) const
{
    return m_window->findChild<QToolButton *>(QLatin1String(name));
}

void TestCanvasViewing::opensWithItsClientArea()
{
    QCOMPARE(pixelsToTwips(m_window->centralWidget()->size()), QSize(6720, 7260));
    // The canvas fills the window down to the progress bar, which ends inside it.
    const QRect canvas = m_window->visibleCanvas()->geometry();
    const QRect bar = m_window->progressBar()->geometry();
    QCOMPARE(pixelsToTwips(canvas.size()), QSize(m_window->outerSizeTwips().width() - 345,
                                                 m_window->outerSizeTwips().height() - 1905));
    QCOMPARE(m_window->hiddenCanvas()->geometry(), canvas);
    QVERIFY(bar.top() > canvas.bottom());
    QVERIFY(bar.bottom() < m_window->centralWidget()->height());
}

void TestCanvasViewing::arrowButtonsSitAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("up") << "up" << QRect(4095, 105, 210, 210) << "Move  centre  up";
    QTest::newRow("dn") << "dn" << QRect(4095, 315, 210, 210) << "Move  centre  down";
    QTest::newRow("lt") << "lt" << QRect(4320, 179, 210, 210) << "Move  centre  left";
    QTest::newRow("rt") << "rt" << QRect(4500, 179, 210, 210) << "Move  centre  right";
}

void TestCanvasViewing::arrowButtonsSitAtTheirPlaces()
{
    QFETCH(QString, name);
    QToolButton *arrow = button(name.toLatin1().constData());
    QVERIFY(arrow);
    QTEST(arrow->toolTip(), "toolTip");
    QFETCH(QRect, twips);
    QCOMPARE(arrow->geometry(), twipsToPixels(twips));
}

void TestCanvasViewing::pressMovesTheCentreAndShowsTheAxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("movedX");
    QTest::addColumn<int>("movedY");
    QTest::newRow("lt with Ctrl") << "lt" << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 60 << 0;
    QTest::newRow("dn") << "dn" << Qt::LeftButton << Qt::KeyboardModifiers() << 0 << 20;
    QTest::newRow("rt with the right button") << "rt" << Qt::RightButton << Qt::KeyboardModifiers() << -20 << 0;
    QTest::newRow("up with Shift and Alt") << "up" << Qt::MiddleButton
                                           << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::AltModifier) << 0 << -120;
}

void TestCanvasViewing::pressMovesTheCentreAndShowsTheAxes()
{
    QFETCH(QString, name);
    QFETCH(Qt::MouseButton, mouseButton);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, movedX);
    QFETCH(int, movedY);
    const qint16 centreX = m_fixture->session().document().centreX;
    const qint16 centreY = m_fixture->session().document().centreY;

    QTest::mousePress(button(name.toLatin1().constData()), mouseButton, modifiers);
    QCOMPARE(m_fixture->session().document().centreX, centreX + movedX);
    QCOMPARE(m_fixture->session().document().centreY, centreY + movedY);
    QVERIFY(!m_fixture->session().isModified());
    // The axes cross at the fractal's origin in the background's complement.
    const RasterCanvas &canvas = m_window->visibleCanvas()->canvas();
    const double originX = canvas.scaleWidth() / 2 - m_fixture->session().document().centreX;
    const double originY = canvas.scaleHeight() / 2 + m_fixture->session().document().centreY;
    QCOMPARE(canvas.point(originX, 30), rgbColour(1, 2, 10));
    QCOMPARE(canvas.point(30, originY), rgbColour(1, 2, 10));
    QCOMPARE(canvas.point(originX + 30, originY + 30), rgbColour(254, 253, 245));
    QTest::mouseRelease(button(name.toLatin1().constData()), mouseButton, modifiers);
}

void TestCanvasViewing::releaseRestoresTheLastPictureUnmoved()
{
    m_window->startRendering();
    const QImage rendered = m_window->visibleCanvas()->canvas().persistentImage();
    QToolButton *dn = button("dn");
    QTest::mousePress(dn, Qt::LeftButton);
    QVERIFY(m_window->visibleCanvas()->canvas().persistentImage() != rendered);
    // Released away from the button, as a drag off it would.
    QTest::mouseRelease(dn, Qt::LeftButton, {}, QPoint(-200, 300));
    const QImage &restored = m_window->visibleCanvas()->canvas().persistentImage();
    QCOMPARE(restored, rendered);
    QCOMPARE(restored, readBitmap(m_fixture->folder.filePath(QStringLiteral("TEMP.BMP"))));
    QCOMPARE(m_fixture->session().document().centreY, qint16(2020));
}

void TestCanvasViewing::tooLowWindowSnapsBack()
{
    const int frame = m_window->outerSizeTwips().height() - pixelsToTwips(m_window->height());
    m_window->resize(m_window->width(), twipsToPixels(1800 - frame));
    QTRY_VERIFY(qAbs(m_window->outerSizeTwips().height() - 6040) < twipsPerPixel);
    QVERIFY(qAbs(m_window->outerSizeTwips().width() - 6840) < twipsPerPixel);
    QCOMPARE(m_window->visibleCanvas()->geometry(), twipsToPixels(QRect(120, 720, 6495, 4135)));
    QCOMPARE(m_window->progressBar()->geometry(), twipsToPixels(QRect(120, 4960, 6495, 255)));
    const QLabel *label = m_window->progressBar()->statusLabel();
    QCOMPARE(label->x(), (m_window->progressBar()->width() - label->width()) / 2);
}

void TestCanvasViewing::resizeResetsTheScales()
{
    m_fixture->session().setScales(0.5f, 0.25f);
    m_window->resize(600, 500);
    QTRY_COMPARE(m_window->size(), QSize(600, 500));
    const QSize outer = m_window->outerSizeTwips();
    QCOMPARE(m_window->visibleCanvas()->geometry(),
             twipsToPixels(QRect(120, 720, outer.width() - 345, outer.height() - 1905)));
    const RasterCanvas &canvas = m_window->visibleCanvas()->canvas();
    QCOMPARE(m_fixture->session().document().settings.scaleX * canvas.scaleWidth(), 1.0f);
    QCOMPARE(m_fixture->session().document().settings.scaleY * canvas.scaleHeight(), 1.0f);
}

void TestCanvasViewing::minimisedWindowKeepsItsLayout()
{
    const QRect canvas = m_window->visibleCanvas()->geometry();
    const QRect bar = m_window->progressBar()->geometry();
    m_window->setWindowState(Qt::WindowMinimized);
    m_window->resize(40, 30);
    QTRY_COMPARE(m_window->size(), QSize(40, 30));
    QCOMPARE(m_window->visibleCanvas()->geometry(), canvas);
    QCOMPARE(m_window->hiddenCanvas()->geometry(), canvas);
    QCOMPARE(m_window->progressBar()->geometry(), bar);
}

void TestCanvasViewing::restoredWindowShowsTheWholeLastPicture()
{
    m_window->startRendering();
    const QImage rendered = m_window->visibleCanvas()->canvas().persistentImage();
    const QSize size = m_window->size();
    m_window->resize(size - QSize(60, 100));
    QTRY_COMPARE(m_window->size(), size - QSize(60, 100));
    m_window->resize(size);
    QTRY_COMPARE(m_window->size(), size);
    QCOMPARE(m_window->visibleCanvas()->canvas().persistentImage(), rendered);
    QCOMPARE(m_window->hiddenCanvas()->canvas().persistentImage(), rendered);
}

QTEST_MAIN(TestCanvasViewing)
#include "tst_canvasviewing.moc"
