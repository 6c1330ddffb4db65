#include "app/mapcanvas.h"
#include "document/documentfile.h"
#include "render/view/mapframes.h"
#include "widgets/canvasview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/sessionstate.h"

#include <QLineF>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>
#include <QTransform>
#include <QWheelEvent>

#include <cmath>

using namespace Vorlane;

namespace {

// The third map of the start-up tree, the one the drags take.
constexpr int draggedMap = 2;

void sendMouse(QWidget *widget, QEvent::Type type, QPointF position, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, position, widget->mapToGlobal(position), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

void drag(QWidget *widget, QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = {},
          Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, button, modifiers);
    sendMouse(widget, QEvent::MouseMove, (from + to) / 2.0, button, modifiers);
    sendMouse(widget, QEvent::MouseMove, to, button, modifiers);
    sendMouse(widget, QEvent::MouseButtonRelease, to, button, modifiers);
}

double distance(QPointF a, QPointF b)
{
    return QLineF(a, b).length();
}

} // namespace

class TestMapCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dragsChangeTheirValuesAsOneStep_data();
    void dragsChangeTheirValuesAsOneStep();
    void wheelKeepsThePointUnderThePointer_data();
    void wheelKeepsThePointUnderThePointer();
    void fitLeavesTheMarginAllRound_data();
    void fitLeavesTheMarginAllRound();
    void renderingAfterChangesIsAskedFor_data();
    void renderingAfterChangesIsAskedFor();

private:
    // The dragged map's frame on the extent the drag began with: the
    // extent follows the changed picture once the drag is done.
    FrameOnScreen frame(const Extent &extent) const;
    QPointF insideTheDraggedFrameOnly() const;
    QWidget *canvas() const { return m_f->window->visibleCanvas(); }
    MapCanvas &maps() const { return m_f->window->mapCanvas(); }

    std::unique_ptr<MainWindowFixture> m_f;
};

void TestMapCanvas::init()
{
    // As a fresh installation starts.
    QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).remove(QStringLiteral("view/renderAutomatically"));
    m_f = std::make_unique<MainWindowFixture>();
    m_f->run(QStringLiteral("showMaps"));
    m_f->state.selectedTr = draggedMap + 1;
}

void TestMapCanvas::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

FrameOnScreen TestMapCanvas::frame(const Extent &extent) const
{
    return framesOnScreen(m_f->session().document(), maps().viewport(), extent).at(draggedMap);
}

// A point of the dragged map's frame that no other frame holds, so a press
// there takes that map and no other.
QPointF TestMapCanvas::insideTheDraggedFrameOnly() const
{
    const QList<FrameOnScreen> frames = framesOnScreen(m_f->session().document(), maps().viewport(), *maps().extent());
    const FrameOnScreen &dragged = frames.at(draggedMap);
    for (double t = 0.1; t < 0.9; t += 0.02) {
        for (double u = 0.1; u < 0.9; u += 0.02) {
            const QPointF point = dragged.corners[0] + t * (dragged.corners[1] - dragged.corners[0])
                + u * (dragged.corners[3] - dragged.corners[0]);
            if (gripAt(frames, -1, point).map == draggedMap)
                return point;
        }
    }
    qFatal("no point of the frame is its own");
}

void TestMapCanvas::dragsChangeTheirValuesAsOneStep_data()
{
    QTest::addColumn<QString>("grip");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("pointer"); // pixels moved; for the rotation handle, degrees turned in x
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QPointF>("expected"); // a move's shift in document units; a scale's contraction X, Y
    // A pixel is 15 canvas units, one canvas unit a document unit at zoom 1; Y points up.
    QTest::newRow("move at zoom 1") << "inside" << 1.0 << QPointF(10, -4) << false << QPointF(150, 60);
    QTest::newRow("move at zoom 2") << "inside" << 2.0 << QPointF(10, -4) << false << QPointF(75, 30);
    QTest::newRow("move at zoom 0.64") << "inside" << 0.64 << QPointF(-8, 16) << false << QPointF(-187.5, -375);
    QTest::newRow("scale at zoom 1") << "corner" << 1.0 << QPointF(12, -9) << false << QPointF();
    QTest::newRow("scale at zoom 2") << "corner" << 2.0 << QPointF(-7, 20) << false << QPointF();
    QTest::newRow("scale keeping the ratio") << "corner" << 1.0 << QPointF(12, 30) << true << QPointF();
    QTest::newRow("scale past the opposite corner") << "corner" << 1.0 << QPointF() << false << QPointF(-0.5, -0.5);
    QTest::newRow("turn at zoom 1") << "rotation" << 1.0 << QPointF(37, 0) << false << QPointF();
    QTest::newRow("turn at zoom 2 clockwise") << "rotation" << 2.0 << QPointF(-100, 0) << false << QPointF();
    QTest::newRow("turn snapping") << "rotation" << 1.0 << QPointF(37, 0) << true << QPointF();
}

// Each drag changes its own values and nothing else, by what the pointer
// did, as one step that undo takes back exactly.
void TestMapCanvas::dragsChangeTheirValuesAsOneStep()
{
    QFETCH(QString, grip);
    QFETCH(double, zoom);
    QFETCH(QPointF, pointer);
    QFETCH(bool, shift);
    QFETCH(QPointF, expected);
    if (zoom != 1.0)
        maps().zoomBy(zoom);
    QCOMPARE(maps().viewport().zoom, zoom);
    const FractalDocument before = m_f->session().document();
    const Transformation was = before.transformations.at(draggedMap);
    const Extent extent = *maps().extent();
    const FrameOnScreen start = frame(extent);
    const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
    QString step;

    if (grip == QLatin1String("inside")) {
        const QPointF inside = insideTheDraggedFrameOnly();
        m_f->state.selectedTr = 0;
        drag(canvas(), inside, inside + pointer);
        QCOMPARE(m_f->state.selectedTr, qint16(draggedMap + 1));
        const Transformation &now = m_f->session().document().transformations.at(draggedMap);
        // A document unit is a canvas unit as nearly as the float scales allow.
        QVERIFY(std::abs(double(now.translation[0]) - double(was.translation[0]) - expected.x()) < 1e-3);
        QVERIFY(std::abs(double(now.translation[1]) - double(was.translation[1]) - expected.y()) < 1e-3);
        step = QStringLiteral("Move Transformation");
    } else if (grip == QLatin1String("corner")) {
        const QPointF to = pointer.isNull() ? start.corners[3] + (start.corners[3] - start.corners[1]) / 2.0
                                            : start.corners[1] + pointer;
        drag(canvas(), start.corners[1], to, modifiers);
        const Transformation &now = m_f->session().document().transformations.at(draggedMap);
        QCOMPARE(now.rotation, was.rotation);
        QVERIFY(distance(frame(extent).corners[3], start.corners[3]) < 0.01);
        if (shift)
            QCOMPARE(now.contraction[0] / now.contraction[1], was.contraction[0] / was.contraction[1]);
        else
            QVERIFY(distance(frame(extent).corners[1], to) < 0.01);
        if (!expected.isNull()) {
            QCOMPARE(now.contraction[0], toSingle(expected.x() * double(was.contraction[0])));
            QCOMPARE(now.contraction[1], toSingle(expected.y() * double(was.contraction[1])));
        }
        step = QStringLiteral("Scale Transformation");
    } else {
        const QPointF centre = (start.corners[0] + start.corners[2]) / 2.0;
        // Anticlockwise on the screen, whose Y points down.
        const QTransform turn = QTransform().translate(centre.x(), centre.y()).rotate(-pointer.x()).translate(-centre.x(), -centre.y());
        drag(canvas(), start.rotationHandle, turn.map(start.rotationHandle), modifiers);
        const Transformation &now = m_f->session().document().transformations.at(draggedMap);
        const double turned = double(was.rotation) + pointer.x();
        QCOMPARE(now.contraction, was.contraction);
        if (shift)
            QCOMPARE(double(now.rotation), std::round(turned / 15.0) * 15.0);
        else
            QVERIFY(std::abs(double(now.rotation) - turned) < 1e-3);
        QVERIFY(distance((frame(extent).corners[0] + frame(extent).corners[2]) / 2.0, centre) < 0.01);
        step = QStringLiteral("Rotate Transformation");
    }
    FractalDocument others = m_f->session().document();
    others.transformations[draggedMap] = was;
    QCOMPARE(others, before);
    QVERIFY(m_f->session().isModified());
    QCOMPARE(m_f->command(QStringLiteral("undo"))->text(), QStringLiteral("&Undo ") + step);
    m_f->session().undo();
    QCOMPARE(m_f->session().document(), before);
    QVERIFY(!m_f->session().isModified());
    QVERIFY(!m_f->session().canUndo());
}

void TestMapCanvas::wheelKeepsThePointUnderThePointer_data()
{
    QTest::addColumn<QPointF>("share"); // of the canvas's width and height
    QTest::addColumn<int>("angleDelta");
    QTest::addColumn<double>("zoom");
    QTest::newRow("in, upper left") << QPointF(0.25, 0.3) << 120 << 1.25;
    QTest::newRow("out two notches, lower right") << QPointF(0.8, 0.7) << -240 << 0.64;
    QTest::newRow("in three notches, middle") << QPointF(0.5, 0.5) << 360 << 1.953125;
}

void TestMapCanvas::wheelKeepsThePointUnderThePointer()
{
    QFETCH(QPointF, share);
    QFETCH(int, angleDelta);
    QFETCH(double, zoom);
    const QPointF pointer(share.x() * canvas()->width(), share.y() * canvas()->height());
    const QPointF pointed = maps().viewport().toFractal(pointer);
    const FractalDocument before = m_f->session().document();
    QWheelEvent wheel(pointer, canvas()->mapToGlobal(pointer), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas(), &wheel);
    QCOMPARE(maps().viewport().zoom, zoom);
    // Within the view centre's whole canvas units.
    QVERIFY(distance(maps().viewport().toPixels(pointed), pointer) < 0.1);
    // Neither stored as a change nor a step.
    QVERIFY(!m_f->session().isModified());
    QVERIFY(!m_f->session().canUndo());
    QCOMPARE(m_f->session().document().transformations, before.transformations);
}

void TestMapCanvas::fitLeavesTheMarginAllRound_data()
{
    QTest::addColumn<double>("zoomFirst");
    QTest::addColumn<QPointF>("panFirst"); // pixels
    QTest::newRow("start-up") << 1.0 << QPointF();
    QTest::newRow("zoomed in and panned") << 3.0 << QPointF(40, -25);
    QTest::newRow("zoomed out") << 0.2 << QPointF(0, 0);
}

void TestMapCanvas::fitLeavesTheMarginAllRound()
{
    QFETCH(double, zoomFirst);
    QFETCH(QPointF, panFirst);
    maps().zoomBy(zoomFirst);
    const QPointF middle(canvas()->width() / 2.0, canvas()->height() / 2.0);
    drag(canvas(), middle, middle + panFirst, {}, Qt::MiddleButton);
    m_f->run(QStringLiteral("fitPicture"));
    const Extent extent = *maps().extent();
    const QRectF shown = QRectF(maps().viewport().toPixels({extent.left, extent.top}),
                                maps().viewport().toPixels({extent.right, extent.bottom}));
    const QSizeF size = canvas()->size();
    // Within a pixel, for the view centre is held in whole canvas units.
    QVERIFY(shown.left() > 0.05 * size.width() - 1.0);
    QVERIFY(shown.top() > 0.05 * size.height() - 1.0);
    QVERIFY(shown.right() < 0.95 * size.width() + 1.0);
    QVERIFY(shown.bottom() < 0.95 * size.height() + 1.0);
    const double filled = std::max(shown.width() / size.width(), shown.height() / size.height());
    QVERIFY(std::abs(filled - 0.9) < 1e-9);
}

void TestMapCanvas::renderingAfterChangesIsAskedFor_data()
{
    QTest::addColumn<bool>("automatically");
    QTest::newRow("off, as a fresh program starts") << false;
    QTest::newRow("on") << true;
}

// Off, a change leaves the picture to Start rendering; on, the picture
// follows at once. A drag with the frames shown always renders.
void TestMapCanvas::renderingAfterChangesIsAskedFor()
{
    QFETCH(bool, automatically);
    QAction *command = m_f->command(QStringLiteral("renderAutomatically"));
    QVERIFY(!command->isChecked());
    command->setChecked(automatically);
    const QString temp = m_f->folder.filePath(QStringLiteral("TEMP.BMP"));
    const QByteArray blank = fileContents(temp);
    markChanged(m_f->session());
    QTest::qWait(400);
    QCOMPARE(fileContents(temp) != blank, automatically);

    const QPointF inside = insideTheDraggedFrameOnly();
    const QByteArray beforeDrag = fileContents(temp);
    drag(canvas(), inside, inside + QPointF(5, 5));
    QTRY_VERIFY(fileContents(temp) != beforeDrag);
}

QTEST_MAIN(TestMapCanvas)
#include "tst_mapcanvas.moc"
