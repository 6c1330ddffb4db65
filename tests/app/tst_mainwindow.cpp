#include "document/colour.h"
#include "document/documentfile.h"
#include "render/exact/documentpicture.h"
#include "widgets/canvasview.h"
#include "widgets/progressstrip.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/pictures.h"
#include "support/sessionstate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

using namespace Vorlane;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startsWithTheStartupDocumentAndBlankBitmaps();
    void ctrlRRendersTheTreeIntoTemp();
    void startButtonRunsTheSameCommand();
    void unrenderableDocumentIsRefused();
    void pictureIsShownWhenTheFolderIsNotWritable();
    void readingADocumentResetsTheCanvases();
    void refusedDocumentChangesNothing();
    void renderingGivesTheCorePicture();
    void escStopsTheRunAsAtItsEnd();
    void inputDuringARunIsDropped();

private:
    std::unique_ptr<MainWindowFixture> m_f;
};

void TestMainWindow::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestMainWindow::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

void TestMainWindow::startsWithTheStartupDocumentAndBlankBitmaps()
{
    QCOMPARE(m_f->window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_f->window->windowTitle(), QStringLiteral("Vorlane 2.0"));
    QCOMPARE(m_f->session().document().trCount(), 3);
    QCOMPARE(m_f->session().document().colours.backColour, rgbColour(254, 253, 245));
    const RasterCanvas &visible = m_f->window->visibleCanvas()->canvas();
    QCOMPARE(m_f->session().document().settings.scaleX * visible.scaleWidth(), 1.0f);
    QVERIFY(!m_f->session().isModified());
    QVERIFY(m_f->session().currentFile().isEmpty());
    const QImage blank = readBitmap(m_f->folder.filePath(QStringLiteral("BLANK.BMP")));
    QCOMPARE(blank.size(), visible.pixelSize());
    QVERIFY(isFilledWith(blank, rgbColour(254, 253, 245)));
    QVERIFY(isFilledWith(readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP"))), rgbColour(254, 253, 245)));
}

void TestMainWindow::ctrlRRendersTheTreeIntoTemp()
{
    QTest::keyClick(m_f->window.get(), Qt::Key_R, Qt::ControlModifier);
    const QImage temp = readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP")));
    QVERIFY(!isFilledWith(temp, rgbColour(254, 253, 245)));
    QCOMPARE(temp, m_f->window->hiddenCanvas()->canvas().persistentImage());
    QCOMPARE(m_f->window->visibleCanvas()->canvas().persistentImage(), temp);
    QVERIFY(m_f->window->visibleCanvas()->canvas().persistentDrawing());
    QCOMPARE(m_f->window->progressBar()->stepsDone(), 0);
    QVERIFY(m_f->window->progressBar()->statusLabel()->text().isEmpty());
    // The tree grows from the stem in colour1 at the base.
    const QImage &shown = m_f->window->visibleCanvas()->canvas().shownImage();
    int stemPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        stemPixels += colourAt(shown, shown.width() / 2, y) == rgbColour(100, 50, 10);
    QVERIFY(stemPixels > 20);
}

void TestMainWindow::startButtonRunsTheSameCommand()
{
    auto *button = m_f->window->findChild<QToolButton *>(QStringLiteral("Cmd1"));
    QVERIFY(button);
    QCOMPARE(button->toolTip(), QStringLiteral("Start rendering"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!isFilledWith(readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP"))), rgbColour(254, 253, 245)));
}

void TestMainWindow::unrenderableDocumentIsRefused()
{
    editDocument(m_f->session(), [](FractalDocument &document) { document.settings.resolution = 0; });
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);
    const QImage before = m_f->window->visibleCanvas()->canvas().persistentImage();
    m_f->window->startRendering();
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(m_f->dialogs.messages.first().icon, MessageIcon::Warning);
    QVERIFY(m_f->dialogs.messages.first().text.contains(QLatin1String("resolution")));
    QCOMPARE(m_f->window->visibleCanvas()->canvas().persistentImage(), before);
}

void TestMainWindow::pictureIsShownWhenTheFolderIsNotWritable()
{
    m_f->state.appDir = m_f->folder.filePath(QStringLiteral("missing/"));
    MainWindow window(m_f->state, m_f->dialogs);
    window.show();
    window.initialiseDocument();
    window.startRendering();
    QVERIFY(!isFilledWith(window.visibleCanvas()->canvas().persistentImage(), rgbColour(254, 253, 245)));
}

void TestMainWindow::readingADocumentResetsTheCanvases()
{
    FractalDocument stored = m_f->session().document();
    stored.colours.backColour = rgbColour(0, 0, 80);
    stored.transformations.removeLast();
    const QString path = m_f->folder.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(stored, path));
    m_f->window->startRendering();
    const float scaleX = 0.5f;
    m_f->session().setScales(scaleX, m_f->session().document().settings.scaleY);
    m_f->state.fieldRange = {1, 2, 3, 4};
    markChanged(m_f->session());

    QVERIFY(m_f->window->readDocumentFile(path));
    QCOMPARE(m_f->session().document().trCount(), 2);
    QCOMPARE(m_f->session().document().settings.scaleX, scaleX);
    QCOMPARE(m_f->state.fieldRange, (FieldRange{1, 2, 3, 4}));
    QCOMPARE(m_f->session().currentFile(), path);
    QVERIFY(!m_f->session().isModified());
    QVERIFY(isFilledWith(m_f->window->visibleCanvas()->canvas().persistentImage(), rgbColour(0, 0, 80)));
    QVERIFY(isFilledWith(m_f->window->hiddenCanvas()->canvas().persistentImage(), rgbColour(0, 0, 80)));
    QVERIFY(isFilledWith(readBitmap(m_f->folder.filePath(QStringLiteral("BLANK.BMP"))), rgbColour(0, 0, 80)));
}

void TestMainWindow::refusedDocumentChangesNothing()
{
    const QString path = m_f->folder.filePath(QStringLiteral("junk.vrf"));
    writeFile(path, "not a fractal at all, not at all, not at all, not at all");
    setFileState(m_f->session(), QStringLiteral("before.vrf"), true);
    const FractalDocument before = m_f->session().document();
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);

    QVERIFY(!m_f->window->readDocumentFile(path));
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    const MessageRequest &message = m_f->dialogs.messages.first();
    QCOMPARE(message.text, QLatin1Char('\'') + path + QLatin1String("' doesnot contain a valied Fractal Image"));
    QCOMPARE(message.title, QStringLiteral("Error Opening File"));
    QCOMPARE(message.icon, MessageIcon::Warning);
    QCOMPARE(message.buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(m_f->session().document(), before);
    QCOMPARE(m_f->session().currentFile(), QStringLiteral("before.vrf"));
    QVERIFY(m_f->session().isModified());
}

void TestMainWindow::renderingGivesTheCorePicture()
{
    RandomGenerator random = m_f->state.random;
    const RasterCanvas &visible = m_f->window->visibleCanvas()->canvas();
    const QImage expected = renderDocumentPicture(m_f->session().document(), visible.pixelSize(), random);
    m_f->window->startRendering();
    QCOMPARE(visible.persistentImage(), expected);
    QVERIFY(m_f->state.random == random);
}

void TestMainWindow::escStopsTheRunAsAtItsEnd()
{
    editDocument(m_f->session(), [](FractalDocument &document) {
        document.settings.totalPoints = 20'000'000;
        document.colours.colourStyle = ChronologicalColour;
    });
    RandomGenerator whole = m_f->state.random;
    whole.discard(quint64(randomDrawsBefore(m_f->session().document(), 20'000'001)));
    QCoreApplication::postEvent(m_f->window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    m_f->window->startRendering();
    // What was drawn so far is the picture, handed over as at a normal end.
    const QImage temp = readBitmap(m_f->folder.filePath(QStringLiteral("TEMP.BMP")));
    QCOMPARE(temp, m_f->window->hiddenCanvas()->canvas().persistentImage());
    QCOMPARE(m_f->window->visibleCanvas()->canvas().persistentImage(), temp);
    QVERIFY(m_f->window->visibleCanvas()->canvas().persistentDrawing());
    QCOMPARE(m_f->window->progressBar()->stepsDone(), 0);
    QVERIFY(m_f->window->progressBar()->statusLabel()->text().isEmpty());
    QVERIFY(m_f->state.random == whole);
    // The last points of the run, nearly colour2, were never drawn.
    for (int y = 0; y < temp.height(); ++y) {
        for (int x = 0; x < temp.width(); ++x) {
            const qint32 colour = colourAt(temp, x, y);
            QVERIFY(colour == rgbColour(254, 253, 245) || colourGreen(colour) < 250);
        }
    }
}

void TestMainWindow::inputDuringARunIsDropped()
{
    // A click on New and Ctrl+N arrive while the tree renders.
    auto *button = m_f->window->findChild<QToolButton *>(QStringLiteral("nw"));
    QVERIFY(button);
    const QPointF middle = button->rect().center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(button, new QMouseEvent(type, middle, button->mapToGlobal(middle), Qt::LeftButton,
                                                            Qt::LeftButton, Qt::NoModifier));
    }
    QCoreApplication::postEvent(m_f->window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier));
    m_f->window->startRendering();
    QCoreApplication::processEvents();
    QCOMPARE(m_f->session().document().trCount(), 3);
    QVERIFY(!isFilledWith(m_f->window->visibleCanvas()->canvas().persistentImage(), rgbColour(254, 253, 245)));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
