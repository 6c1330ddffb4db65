#include "widgets/dialogs.h"
#include "document/colour.h"
#include "document/documentfile.h"
#include "widgets/canvasview.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/pictures.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <QToolButton>

using namespace Vorlane;

Q_DECLARE_METATYPE(std::optional<Vorlane::MessageButton>)

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

const QString vrfFilter = QStringLiteral("Fractal Images (*.vrf)|*.vrf");
const QString bmpFilter = QStringLiteral("Pictures (*.bmp)|*.bmp");

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newKeepsColoursSettingsCentreAndPointOne();
    void dialogsOfferTheirNamesAndCancelChangesNothing_data();
    void dialogsOfferTheirNamesAndCancelChangesNothing();
    void replacingAFileAsksOnlyWhenItHasContent_data();
    void replacingAFileAsksOnlyWhenItHasContent();
    void saveRewritesTheNamedFileWithoutAsking();
    void failedWriteIsReportedAndChangesNothing_data();
    void failedWriteIsReportedAndChangesNothing();
    void writeFailuresKeepTheTargetAndGiveTheReason_data();
    void writeFailuresKeepTheTargetAndGiveTheReason();
    void savesOverALongName();
    void exportChoosesTheFormatByName_data();
    void exportChoosesTheFormatByName();
    void twoWindowsInOneFolderKeepTheirOwnPictures();
    void refusedOpenKeepsTheDocumentAndRewritesTheLastPicture();
    void openKeepsTheScalesAndTheFieldRange();
    void exportHoldsTheLastPictureAtCanvasSize();
    void savedDocumentOpensAsItWas();
    void dialogStartsInTheNearestExistingFolder_data();
    void dialogStartsInTheNearestExistingFolder();

private:
    QString tempBitmap() const { return m_f->folder.filePath(QStringLiteral("TEMP.BMP")); }
    const RasterCanvas &visible() const { return m_f->window->visibleCanvas()->canvas(); }

    std::unique_ptr<MainWindowFixture> m_f;
};

void TestFileCommands::init()
{
    m_f = std::make_unique<MainWindowFixture>();
}

void TestFileCommands::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

void TestFileCommands::newKeepsColoursSettingsCentreAndPointOne()
{
    ProgramState &state = m_f->state;
    DocumentSession &session = m_f->session();
    m_f->window->startRendering();
    editDocument(session, [](FractalDocument &document) {
        document.centreX = -300;
        document.colours.backColour = rgbColour(10, 20, 30);
    });
    state.fieldRange = {-5, 5, -7, 7};
    markChanged(session);
    const FractalDocument before = session.document();

    m_f->run(QStringLiteral("flnw"));
    const FractalDocument &after = session.document();
    QCOMPARE(after.trCount(), 0);
    QCOMPARE(after.trNameCounter, qint16(1));
    QCOMPARE(after.basePoints, QList<BasePoint>{before.basePoints.first()});
    QCOMPARE(after.settings, before.settings);
    QCOMPARE(after.colours, before.colours);
    QCOMPARE(after.centreX, before.centreX);
    QCOMPARE(after.centreY, before.centreY);
    QCOMPARE(state.fieldRange, (FieldRange{-5, 5, -7, 7}));
    QCOMPARE(session.currentFile(), QStringLiteral("Untitled.vrf"));
    QVERIFY(!session.isModified());
    const QImage blank = filledImage(visible().pixelSize(), rgbColour(10, 20, 30));
    QCOMPARE(visible().persistentImage(), blank);
    QCOMPARE(m_f->window->hiddenCanvas()->canvas().persistentImage(), blank);
    QCOMPARE(readBitmap(m_f->folder.filePath(QStringLiteral("BLANK.BMP"))), blank);
    QCOMPARE(readBitmap(tempBitmap()), blank);
    QVERIFY(m_f->dialogs.messages.isEmpty());
}

void TestFileCommands::dialogsOfferTheirNamesAndCancelChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("afterNew");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("initialName");
    const QString fractals = QLatin1String("Fractals") + QDir::separator() + QLatin1String("Select a file");
    QTest::newRow("Save after start-up") << "flsv" << false << false << vrfFilter << "";
    QTest::newRow("Save after New") << "flsv" << true << false << vrfFilter << "Untitled.vrf";
    QTest::newRow("Save As after New") << "flsavas" << true << false << vrfFilter << "Untitled.vrf";
    QTest::newRow("Open") << "flopn" << false << true << vrfFilter + QLatin1String("|All Files (*.*)|*.*") << fractals;
    QTest::newRow("picture after start-up") << "svbmp" << false << false << bmpFilter << "";
    QTest::newRow("picture after New") << "svbmp" << true << false << bmpFilter << "Untitled.bmp";
}

void TestFileCommands::dialogsOfferTheirNamesAndCancelChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, afterNew);
    QFETCH(bool, opens);
    QFETCH(QString, filter);
    QFETCH(QString, initialName);
    ProgramState &state = m_f->state;
    DocumentSession &session = m_f->session();
    if (afterNew)
        m_f->run(QStringLiteral("flnw"));
    if (opens)
        initialName.prepend(state.appDir);
    markChanged(session);
    const FractalDocument document = session.document();
    const QString currentFile = session.currentFile();
    const QStringList files = filesIn(state.appDir);
    const QByteArray lastPicture = fileContents(tempBitmap());
    m_f->dialogs.fileAnswers.enqueue(QString());

    m_f->run(command);
    const QList<FileRequest> &requests = opens ? m_f->dialogs.openRequests : m_f->dialogs.saveRequests;
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().filter, filter);
    QCOMPARE(requests.first().initialName, initialName);
    QCOMPARE(session.document(), document);
    QCOMPARE(session.currentFile(), currentFile);
    QVERIFY(session.isModified());
    QCOMPARE(filesIn(state.appDir), files);
    QCOMPARE(fileContents(tempBitmap()), lastPicture);
    QVERIFY(!QFile::exists(QStringLiteral("Untitled.vrf")));
    QVERIFY(m_f->dialogs.messages.isEmpty());
}

void TestFileCommands::replacingAFileAsksOnlyWhenItHasContent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("existing"); // null: no file there
    QTest::addColumn<std::optional<MessageButton>>("answer");
    QTest::addColumn<bool>("written");
    const std::optional<MessageButton> notAsked;
    for (const char *command : {"flsavas", "svbmp"}) {
        const QByteArray name(command);
        QTest::newRow(name + " to a new file") << command << QByteArray() << notAsked << true;
        QTest::newRow(name + " over an empty file") << command << QByteArray("") << notAsked << true;
        QTest::newRow(name + " over a file, Yes") << command << QByteArray("old content") << std::optional(MessageButton::Yes)
                                                  << true;
        QTest::newRow(name + " over a file, No") << command << QByteArray("old content") << std::optional(MessageButton::No)
                                                 << false;
    }
}

void TestFileCommands::replacingAFileAsksOnlyWhenItHasContent()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, existing);
    QFETCH(std::optional<MessageButton>, answer);
    QFETCH(bool, written);
    DocumentSession &session = m_f->session();
    const bool picture = command == QLatin1String("svbmp");
    const QString path = m_f->folder.filePath(picture ? QStringLiteral("tree") : QStringLiteral("tree.vrf"));
    if (!existing.isNull())
        writeFile(path, existing);
    m_f->window->startRendering();
    markChanged(session);
    m_f->dialogs.fileAnswers.enqueue(path);
    if (answer)
        m_f->dialogs.messageAnswers.enqueue(*answer);

    m_f->run(command);
    QCOMPARE(m_f->dialogs.messages.size(), answer ? 1 : 0);
    if (answer) {
        const MessageRequest &question = m_f->dialogs.messages.first();
        const QString text = picture ? QLatin1String("The ") + path + QLatin1String(" file already exists. Do you want to over write it?")
                                     : QLatin1Char('\'') + path + QLatin1String("' already exists. Do you want to over write it?");
        QCOMPARE(question.text, text);
        QCOMPARE(question.title, QStringLiteral("Overwrite Confermation"));
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
        QCOMPARE(question.defaultButton, MessageButton::No);
    }
    if (!written) {
        QCOMPARE(fileContents(path), existing);
        QVERIFY(session.isModified());
        QVERIFY(session.currentFile().isEmpty());
    } else if (picture) {
        QCOMPARE(readBitmap(path), visible().persistentImage());
        QVERIFY(session.isModified());
    } else {
        QCOMPARE(fileContents(path), encodeDocument(session.document()));
        QCOMPARE(session.currentFile(), path);
        QVERIFY(!session.isModified());
    }
}

void TestFileCommands::saveRewritesTheNamedFileWithoutAsking()
{
    DocumentSession &session = m_f->session();
    const QString path = m_f->folder.filePath(QStringLiteral("tree.vrf"));
    writeFile(path, QByteArray(20000, 'x'));
    setFileState(session, path, true);

    m_f->run(QStringLiteral("flsv"));
    QVERIFY(m_f->dialogs.saveRequests.isEmpty());
    QVERIFY(m_f->dialogs.messages.isEmpty());
    QCOMPARE(fileContents(path), encodeDocument(session.document()));
    QCOMPARE(session.currentFile(), path);
    QVERIFY(!session.isModified());
}

void TestFileCommands::failedWriteIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("named"); // the document already has the path
    QTest::newRow("Save") << "flsv" << true;
    QTest::newRow("Save As") << "flsavas" << false;
    QTest::newRow("picture") << "svbmp" << false;
}

void TestFileCommands::failedWriteIsReportedAndChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, named);
    ProgramState &state = m_f->state;
    DocumentSession &session = m_f->session();
    // Nothing can be written below a regular file, not even by root, for
    // whom a read-only folder is no obstacle.
    const QString plain = m_f->folder.filePath(QStringLiteral("plain"));
    writeFile(plain, "plain");
    const QString path = plain + QDir::separator() + QLatin1String("tree.vrf");
    setFileState(session, named ? path : QStringLiteral("before.vrf"), true);
    const QString currentFile = session.currentFile();
    const QStringList files = filesIn(state.appDir);
    if (!named)
        m_f->dialogs.fileAnswers.enqueue(path);
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);

    m_f->run(command);
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    const MessageRequest &warning = m_f->dialogs.messages.first();
    QCOMPARE(warning.icon, MessageIcon::Warning);
    QCOMPARE(warning.buttons, QList<MessageButton>{MessageButton::Ok});
    QVERIFY(warning.text.contains(path));
    const QString reason = warning.text.section(QLatin1Char('\n'), 1);
    QVERIFY2(!reason.trimmed().isEmpty(), qPrintable(warning.text));
    QCOMPARE(session.currentFile(), currentFile);
    QVERIFY(session.isModified());
    QCOMPARE(filesIn(state.appDir), files);
    QCOMPARE(fileContents(plain), QByteArray("plain"));
}

void TestFileCommands::writeFailuresKeepTheTargetAndGiveTheReason_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("fifo"); // else a file with content, and no room to write
    QTest::addColumn<QString>("reason");
    const QString tooLarge = qt_error_string(EFBIG);
    QTest::newRow("Save, disk full") << "flsv" << false << tooLarge;
    QTest::newRow("Save As over a file, disk full") << "flsavas" << false << tooLarge;
    QTest::newRow("picture over a file, disk full") << "svbmp" << false << tooLarge;
    QTest::newRow("Save As onto a FIFO") << "flsavas" << true << "Not a regular file";
    QTest::newRow("picture onto a FIFO") << "svbmp" << true << "Not a regular file";
}

void TestFileCommands::writeFailuresKeepTheTargetAndGiveTheReason()
{
    QFETCH(QString, command);
    QFETCH(bool, fifo);
    QFETCH(QString, reason);
    ProgramState &state = m_f->state;
    DocumentSession &session = m_f->session();
    const QString path = m_f->folder.filePath(QStringLiteral("target"));
    if (fifo)
        makeFifo(path);
    else
        writeFile(path, "old content");
    const bool named = command == QLatin1String("flsv");
    setFileState(session, named ? path : QStringLiteral("before.vrf"), true);
    const QStringList files = filesIn(state.appDir);
    if (!named)
        m_f->dialogs.fileAnswers.enqueue(path);
    if (!named && !fifo)
        m_f->dialogs.messageAnswers.enqueue(MessageButton::Yes);
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);

    {
        // A write past 4 KiB fails as it would on a full disk.
        const FileSizeLimit fullDisk(4096);
        m_f->run(command);
    }
    const MessageRequest &warning = m_f->dialogs.messages.constLast();
    QCOMPARE(warning.title, QStringLiteral("Error Saving File"));
    QVERIFY2(warning.text.contains(path) && warning.text.endsWith(reason), qPrintable(warning.text));
    QCOMPARE(isFifo(path), fifo);
    if (!fifo)
        QCOMPARE(fileContents(path), QByteArray("old content"));
    QCOMPARE(filesIn(state.appDir), files);
    QCOMPARE(session.currentFile(), named ? path : QStringLiteral("before.vrf"));
    QVERIFY(session.isModified());
}

void TestFileCommands::savesOverALongName()
{
    // 250 bytes: the longest names leave no room for a temporary name built on them.
    const QString path = m_f->folder.filePath(QString(246, QLatin1Char('n')) + QLatin1String(".vrf"));
    writeFile(path, "old content");
    setFileState(m_f->session(), path, true);
    m_f->run(QStringLiteral("flsv"));
    QVERIFY(m_f->dialogs.messages.isEmpty());
    QCOMPARE(fileContents(path), encodeDocument(m_f->session().document()));
}

void TestFileCommands::exportChoosesTheFormatByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("signature");
    const QByteArray png("\x89PNG");
    QTest::newRow("png") << "tree.png" << png;
    QTest::newRow("PNG in capitals") << "tree.PnG" << png;
    QTest::newRow("bmp") << "tree.bmp" << QByteArray("BM");
    QTest::newRow("no extension") << "tree" << QByteArray("BM");
    QTest::newRow("png inside the name") << "tree.png.old" << QByteArray("BM");
}

void TestFileCommands::exportChoosesTheFormatByName()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, signature);
    m_f->window->startRendering();
    const QString path = m_f->folder.filePath(name);
    m_f->dialogs.fileAnswers.enqueue(path);
    m_f->run(QStringLiteral("svbmp"));
    QVERIFY(fileContents(path).startsWith(signature));
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), visible().persistentImage());
}

void TestFileCommands::twoWindowsInOneFolderKeepTheirOwnPictures()
{
    // Window B shares A's folder, as a second copy of the program would.
    ProgramState stateB;
    stateB.appDir = m_f->state.appDir;
    ScriptedDialogs dialogsB;
    MainWindow windowB(stateB, dialogsB);
    windowB.show();
    QVERIFY(QTest::qWaitForWindowExposed(&windowB));
    windowB.initialiseDocument();
    const QImage blankB = windowB.visibleCanvas()->canvas().persistentImage();

    m_f->window->startRendering();
    auto *arrow = windowB.findChild<QToolButton *>(QStringLiteral("lt"));
    QTest::mousePress(arrow, Qt::LeftButton);
    QTest::mouseRelease(arrow, Qt::LeftButton);
    QCOMPARE(windowB.visibleCanvas()->canvas().persistentImage(), blankB);
    const QString exported = m_f->folder.filePath(QStringLiteral("b.bmp"));
    dialogsB.fileAnswers.enqueue(exported);
    windowB.findChild<QAction *>(QStringLiteral("svbmp"))->trigger();
    QCOMPARE(readBitmap(exported), blankB);

    // A leaves the blank picture B wrote last, and takes its own last picture.
    QVERIFY(m_f->window->close());
    QVERIFY(QFile::exists(m_f->folder.filePath(QStringLiteral("BLANK.BMP"))));
    QVERIFY(!QFile::exists(tempBitmap()));
    QVERIFY(windowB.close());
    QVERIFY(!QFile::exists(m_f->folder.filePath(QStringLiteral("BLANK.BMP"))));
}

void TestFileCommands::refusedOpenKeepsTheDocumentAndRewritesTheLastPicture()
{
    DocumentSession &session = m_f->session();
    setFileState(session, QStringLiteral("before.vrf"), true);
    m_f->window->startRendering();
    writeFile(tempBitmap(), "stale");
    const QString junk = m_f->folder.filePath(QStringLiteral("junk.vrf"));
    writeFile(junk, QByteArray(100, 'j'));
    const FractalDocument before = session.document();
    m_f->dialogs.fileAnswers.enqueue(junk);
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);

    m_f->run(QStringLiteral("flopn"));
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(m_f->dialogs.messages.first().title, QStringLiteral("Error Opening File"));
    QCOMPARE(session.document(), before);
    QCOMPARE(session.currentFile(), QStringLiteral("before.vrf"));
    QVERIFY(session.isModified());
    QCOMPARE(readBitmap(tempBitmap()), visible().persistentImage());
    QVERIFY(visible().persistentImage() != filledImage(visible().pixelSize(), before.colours.backColour));
}

void TestFileCommands::openKeepsTheScalesAndTheFieldRange()
{
    ProgramState &state = m_f->state;
    DocumentSession &session = m_f->session();
    FractalDocument stored = session.document();
    stored.colours.backColour = rgbColour(0, 0, 80);
    stored.transformations.removeFirst();
    stored.settings.scaleX = 7.0f;
    const QString path = m_f->folder.filePath(QStringLiteral("fern.vrf"));
    QVERIFY(saveDocumentFile(stored, path));
    m_f->window->startRendering();
    const RenderSettings before = session.document().settings;
    state.fieldRange = {-5, 5, -7, 7};
    markChanged(session);
    m_f->dialogs.fileAnswers.enqueue(path);

    m_f->run(QStringLiteral("flopn"));
    QCOMPARE(session.document().transformations, stored.transformations);
    QCOMPARE(session.document().settings.scaleX, before.scaleX);
    QCOMPARE(session.document().settings.scaleY, before.scaleY);
    QCOMPARE(state.fieldRange, (FieldRange{-5, 5, -7, 7}));
    QCOMPARE(session.currentFile(), path);
    QVERIFY(!session.isModified());
    QCOMPARE(readBitmap(tempBitmap()), filledImage(visible().pixelSize(), rgbColour(0, 0, 80)));
}

void TestFileCommands::exportHoldsTheLastPictureAtCanvasSize()
{
    m_f->window->startRendering();
    // Moving the view centre shows the axes only while the button is down.
    auto *left = m_f->window->findChild<QToolButton *>(QStringLiteral("lt"));
    QTest::mousePress(left, Qt::LeftButton);
    QTest::mouseRelease(left, Qt::LeftButton);
    const QString path = m_f->folder.filePath(QStringLiteral("tree.bmp"));
    m_f->dialogs.fileAnswers.enqueue(path);

    m_f->run(QStringLiteral("svbmp"));
    const QImage exported = readBitmap(path);
    QCOMPARE(exported.size(), visible().pixelSize());
    QCOMPARE(exported, readBitmap(tempBitmap()));
    QVERIFY(exported != filledImage(visible().pixelSize(), m_f->session().document().colours.backColour));
}

void TestFileCommands::savedDocumentOpensAsItWas()
{
    DocumentSession &session = m_f->session();
    const FractalDocument saved = session.document();
    const QString path = m_f->folder.filePath(QStringLiteral("tree.vrf"));
    m_f->dialogs.fileAnswers.enqueue(path);
    m_f->run(QStringLiteral("flsavas"));
    m_f->run(QStringLiteral("flnw"));
    QVERIFY(session.document() != saved);

    m_f->dialogs.fileAnswers.enqueue(path);
    m_f->run(QStringLiteral("flopn"));
    QCOMPARE(session.document(), saved);
    QCOMPARE(session.currentFile(), path);
    QVERIFY(m_f->dialogs.messages.isEmpty());
}

void TestFileCommands::dialogStartsInTheNearestExistingFolder_data()
{
    QTest::addColumn<QString>("initialName");
    QTest::addColumn<QString>("folder"); // below the program folder
    QTest::newRow("existing folder") << "Fractals/Select a file" << "Fractals";
    QTest::newRow("missing folder") << "Missing/Select a file" << "";
    QTest::newRow("missing folders") << "Missing/Deeper/tree.vrf" << "";
}

void TestFileCommands::dialogStartsInTheNearestExistingFolder()
{
    QFETCH(QString, initialName);
    QFETCH(QString, folder);
    const QDir appDir(m_f->state.appDir);
    QVERIFY(appDir.mkdir(QStringLiteral("Fractals")));
    QCOMPARE(dialogStartFolder(QDir::toNativeSeparators(appDir.filePath(initialName))),
             QDir::toNativeSeparators(QDir::cleanPath(appDir.filePath(folder))));
    QVERIFY(dialogStartFolder(QStringLiteral("Untitled.vrf")).isEmpty());
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
