#include "app/mainwindow.h"
#include "document/colour.h"
#include "document/documentfile.h"
#include "render/canvasview.h"
#include "render/progressstrip.h"
#include "support/scripteddialogs.h"
#include "support/testfolder.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace Vorlane;

namespace {

QImage bitmap(const QString &path)
{
    return QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
}

bool isFilledWith(const QImage &image, qint32 colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (RasterCanvas::fromRgb(image.pixel(x, y)) != colour)
                return false;
        }
    }
    return true;
}

} // namespace

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

private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::init()
{
    m_folder = std::make_unique<TestFolder>();
    m_state = std::make_unique<ProgramState>();
    m_state->appDir = m_folder->appDir();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_window = std::make_unique<MainWindow>(*m_state, *m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->initialiseDocument();
}

void TestMainWindow::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_window.reset();
}

void TestMainWindow::startsWithTheStartupDocumentAndBlankBitmaps()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vorlane 2.0"));
    QCOMPARE(m_state->document.trCount(), 3);
    QCOMPARE(m_state->document.colours.backColour, rgbColour(254, 253, 245));
    const RasterCanvas &visible = m_window->visibleCanvas()->canvas();
    QCOMPARE(m_state->document.settings.scaleX * visible.scaleWidth(), 1.0f);
    QCOMPARE(m_state->modified, qint16(0));
    QVERIFY(m_state->currentFile.isEmpty());
    const QImage blank = bitmap(m_folder->filePath(QStringLiteral("BLANK.BMP")));
    QCOMPARE(blank.size(), visible.pixelSize());
    QVERIFY(isFilledWith(blank, rgbColour(254, 253, 245)));
    QVERIFY(isFilledWith(bitmap(m_folder->filePath(QStringLiteral("TEMP.BMP"))), rgbColour(254, 253, 245)));
}

void TestMainWindow::ctrlRRendersTheTreeIntoTemp()
{
    QTest::keyClick(m_window.get(), Qt::Key_R, Qt::ControlModifier);
    const QImage temp = bitmap(m_folder->filePath(QStringLiteral("TEMP.BMP")));
    QVERIFY(!isFilledWith(temp, rgbColour(254, 253, 245)));
    QCOMPARE(temp, m_window->hiddenCanvas()->canvas().persistentImage());
    QCOMPARE(m_window->visibleCanvas()->canvas().persistentImage(), temp);
    QVERIFY(m_window->visibleCanvas()->canvas().persistentDrawing());
    QCOMPARE(m_window->progressBar()->stepsDone(), 0);
    QVERIFY(m_window->progressBar()->statusLabel()->text().isEmpty());
    // The tree grows from the stem in colour1 at the base.
    const QImage &shown = m_window->visibleCanvas()->canvas().shownImage();
    int stemPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        stemPixels += RasterCanvas::fromRgb(shown.pixel(shown.width() / 2, y)) == rgbColour(100, 50, 10);
    QVERIFY(stemPixels > 20);
}

void TestMainWindow::startButtonRunsTheSameCommand()
{
    auto *button = m_window->findChild<QToolButton *>(QStringLiteral("Cmd1"));
    QVERIFY(button);
    QCOMPARE(button->toolTip(), QStringLiteral("Start rendering"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!isFilledWith(bitmap(m_folder->filePath(QStringLiteral("TEMP.BMP"))), rgbColour(254, 253, 245)));
}

void TestMainWindow::unrenderableDocumentIsRefused()
{
    m_state->document.settings.resolution = 0;
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    const QImage before = m_window->visibleCanvas()->canvas().persistentImage();
    m_window->startRendering();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().icon, MessageIcon::Warning);
    QVERIFY(m_dialogs->messages.first().text.contains(QLatin1String("resolution")));
    QCOMPARE(m_window->visibleCanvas()->canvas().persistentImage(), before);
}

void TestMainWindow::pictureIsShownWhenTheFolderIsNotWritable()
{
    m_state->appDir = m_folder->filePath(QStringLiteral("missing/"));
    MainWindow window(*m_state, *m_dialogs);
    window.show();
    window.initialiseDocument();
    window.startRendering();
    QVERIFY(!isFilledWith(window.visibleCanvas()->canvas().persistentImage(), rgbColour(254, 253, 245)));
}

void TestMainWindow::readingADocumentResetsTheCanvases()
{
    FractalDocument stored = m_state->document;
    stored.colours.backColour = rgbColour(0, 0, 80);
    stored.transformations.removeLast();
    const QString path = m_folder->filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(stored, path));
    m_window->startRendering();
    const float scaleX = m_state->document.settings.scaleX = 0.5f;
    m_state->fieldRange = {1, 2, 3, 4};
    m_state->modified = 1;

    QVERIFY(m_window->readDocumentFile(path));
    QCOMPARE(m_state->document.trCount(), 2);
    QCOMPARE(m_state->document.settings.scaleX, scaleX);
    QCOMPARE(m_state->fieldRange, (FieldRange{1, 2, 3, 4}));
    QCOMPARE(m_state->currentFile, path);
    QCOMPARE(m_state->modified, qint16(0));
    QVERIFY(isFilledWith(m_window->visibleCanvas()->canvas().persistentImage(), rgbColour(0, 0, 80)));
    QVERIFY(isFilledWith(m_window->hiddenCanvas()->canvas().persistentImage(), rgbColour(0, 0, 80)));
    QVERIFY(isFilledWith(bitmap(m_folder->filePath(QStringLiteral("BLANK.BMP"))), rgbColour(0, 0, 80)));
}

void TestMainWindow::refusedDocumentChangesNothing()
{
    const QString path = m_folder->filePath(QStringLiteral("junk.vrf"));
    QFile junk(path);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a fractal at all, not at all, not at all, not at all");
    junk.close();
    m_state->currentFile = QStringLiteral("before.vrf");
    m_state->modified = 1;
    const FractalDocument before = m_state->document;
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);

    QVERIFY(!m_window->readDocumentFile(path));
    QCOMPARE(m_dialogs->messages.size(), 1);
    const MessageRequest &message = m_dialogs->messages.first();
    QCOMPARE(message.text, QLatin1Char('\'') + path + QLatin1String("' doesnot contain a valied Fractal Image"));
    QCOMPARE(message.title, QStringLiteral("Error Opening File"));
    QCOMPARE(message.icon, MessageIcon::Warning);
    QCOMPARE(message.buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(m_state->document, before);
    QCOMPARE(m_state->currentFile, QStringLiteral("before.vrf"));
    QCOMPARE(m_state->modified, qint16(1));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
