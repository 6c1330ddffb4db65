#include "app/mainwindow.h"
#include "document/colour.h"
#include "document/documentfile.h"
#include "surroundings/programfiles.h"
#include "widgets/canvasview.h"
#include "support/files.h"
#include "support/pictures.h"
#include "support/launchcount.h"
#include "support/scripteddialogs.h"
#include "support/sessionstate.h"
#include "support/testfolder.h"

#include <QAction>
#include <QTest>

using namespace Vorlane;

namespace {

const QString saveTitle = QStringLiteral("Save changes to currently open file?");
const QString overwriteTitle = QStringLiteral("Overwrite Confermation");

bool isBitmapFilledWith(const QString &path, qint32 colour)
{
    const QImage image = readBitmap(path);
    return !image.isNull() && isFilledWith(image, colour);
}

void verifyQuestion(const MessageRequest &message, const QString &title, const QString &text)
{
    QCOMPARE(message.title, title);
    QCOMPARE(message.text, text);
    QCOMPARE(message.icon, MessageIcon::Question);
    QCOMPARE(message.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
    QCOMPARE(message.defaultButton, MessageButton::No);
}

} // namespace

class TestLifecycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startsWithTheStartupDocument();
    void firstStartOffersTheUpdateBeforeShowingTheWindow();
    void opensTheQuotedCommandLineDocument();
    void refusedCommandLineDocumentFallsBack_data();
    void refusedCommandLineDocumentFallsBack();
    void advertisementFileIsRenamedWhileRunning();
    void exitQuestions_data();
    void exitQuestions();
    void failedSaveAtExitAsksWhetherToQuit();
    void exitCommandRunsTheShutdown();

private:
    void load(const QString &documentPath = QString());
    QString appFile(const char *name) const { return m_folder->filePath(QLatin1String(name)); }
    bool handOverBitmapsExist() const;

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<TestFolder> m_workingFolder;
    QString m_previousWorkingFolder;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_window;
};

void TestLifecycle::init()
{
    keepNoUpdateDue();
    m_folder = std::make_unique<TestFolder>();
    m_workingFolder = std::make_unique<TestFolder>();
    m_previousWorkingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_workingFolder->appDir()));
    m_state = std::make_unique<ProgramState>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_window = std::make_unique<MainWindow>(*m_state, *m_dialogs);
}

void TestLifecycle::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
    m_window.reset();
    QDir::setCurrent(m_previousWorkingFolder);
}

void TestLifecycle::load(const QString &documentPath)
{
    m_window->load({QDir(m_folder->appDir()).absolutePath(), documentPath});
}

bool TestLifecycle::handOverBitmapsExist() const
{
    return QFile::exists(appFile("BLANK.BMP")) || QFile::exists(appFile("TEMP.BMP"))
        || QFile::exists(appFile("TEST.BMP"));
}

void TestLifecycle::startsWithTheStartupDocument()
{
    load();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_state->appDir, m_folder->appDir());
    const RasterCanvas &canvas = m_window->visibleCanvas()->canvas();
    QCOMPARE(m_window->session().document(), startupDocument(1.0f / canvas.scaleWidth(), 1.0f / canvas.scaleHeight(),
                                                rgbColour(254, 253, 245)));
    QVERIFY(m_window->session().currentFile().isEmpty());
    QVERIFY(!m_window->session().isModified());
    QVERIFY(isBitmapFilledWith(appFile("BLANK.BMP"), rgbColour(254, 253, 245)));
    QVERIFY(isBitmapFilledWith(appFile("TEMP.BMP"), rgbColour(254, 253, 245)));
}

void TestLifecycle::firstStartOffersTheUpdateBeforeShowingTheWindow()
{
    keepLaunchCount(QVariant());
    m_dialogs->messageAnswers.enqueue(MessageButton::Cancel);
    load();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().title, QStringLiteral("Connection Confirmation for updating Net-info"));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->session().document().trCount(), 3);
}

void TestLifecycle::opensTheQuotedCommandLineDocument()
{
    FractalDocument stored = startupDocument(0.5f, 0.5f, rgbColour(0, 0, 80));
    stored.transformations.removeFirst();
    const QString path = appFile("my tree.vrf");
    QVERIFY(saveDocumentFile(stored, path));

    load(documentPathArgument({QStringLiteral("vorlane"), QLatin1Char('"') + path + QLatin1Char('"')}));
    QCOMPARE(m_window->session().currentFile(), path);
    QCOMPARE(m_window->session().document().transformations, stored.transformations);
    QVERIFY(!m_window->session().isModified());
    QVERIFY(isBitmapFilledWith(appFile("TEMP.BMP"), rgbColour(0, 0, 80)));
    QVERIFY(isFilledWith(m_window->visibleCanvas()->canvas().persistentImage(), rgbColour(0, 0, 80)));
}

void TestLifecycle::refusedCommandLineDocumentFallsBack_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a document") << QByteArray("plain text, no fractal in here at all, none whatsoever");
}

void TestLifecycle::refusedCommandLineDocumentFallsBack()
{
    QFETCH(QByteArray, content);
    const QString path = appFile("refused.vrf");
    if (!content.isNull())
        writeFile(path, content);
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);

    load(path);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.first().text,
             QLatin1Char('\'') + path + QLatin1String("' doesnot contain a valied Fractal Image"));
    QCOMPARE(m_dialogs->messages.first().title, QStringLiteral("Error Opening File"));
    QCOMPARE(m_window->session().document().trCount(), 3);
    QCOMPARE(m_window->session().document().basePointCount(), 2000);
    QVERIFY(m_window->session().currentFile().isEmpty());
    QVERIFY(isBitmapFilledWith(appFile("TEMP.BMP"), rgbColour(254, 253, 245)));
}

void TestLifecycle::advertisementFileIsRenamedWhileRunning()
{
    writeFile(appFile("vornad.dat"), "GIF89a");
    load();
    QVERIFY(QFile::exists(appFile("vornad.gif")));
    QVERIFY(!QFile::exists(appFile("vornad.dat")));
    QVERIFY(m_window->close());
    QVERIFY(QFile::exists(appFile("vornad.dat")));
    QVERIFY(!QFile::exists(appFile("vornad.gif")));
}

void TestLifecycle::exitQuestions_data()
{
    // A document opened from the program folder, "Untitled.vrf" after New in
    // the working folder, or none for the start-up document.
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QByteArray>("existing"); // null: no file yet
    QTest::addColumn<QList<MessageButton>>("answers");
    QTest::addColumn<bool>("written");

    const QByteArray old("an older and much longer file that is not a fractal document at all");
    const MessageButton yes = MessageButton::Yes;
    const MessageButton no = MessageButton::No;
    const QString opened = QStringLiteral("tree.vrf");
    const QString untitled = QStringLiteral("Untitled.vrf");
    QTest::newRow("unmodified") << opened << false << old << QList<MessageButton>{} << false;
    QTest::newRow("start-up document") << QString() << true << QByteArray() << QList<MessageButton>{} << false;
    QTest::newRow("answered No") << opened << true << old << QList<MessageButton>{no} << false;
    QTest::newRow("answered Yes") << opened << true << old << QList<MessageButton>{yes} << true;
    QTest::newRow("Untitled, no file yet") << untitled << true << QByteArray() << QList<MessageButton>{yes}
                                           << true;
    QTest::newRow("Untitled, empty file") << untitled << true << QByteArray("") << QList<MessageButton>{yes}
                                          << true;
    QTest::newRow("Untitled, kept") << untitled << true << old << QList<MessageButton>{yes, no} << false;
    QTest::newRow("Untitled, overwritten") << untitled << true << old << QList<MessageButton>{yes, yes}
                                           << true;
}

void TestLifecycle::exitQuestions()
{
    QFETCH(QString, document);
    QFETCH(bool, modified);
    QFETCH(QByteArray, existing);
    QFETCH(QList<MessageButton>, answers);
    QFETCH(bool, written);
    load();
    const bool untitled = document == QLatin1String("Untitled.vrf");
    const QString file = untitled || document.isEmpty() ? document : m_folder->filePath(document);
    const QString path = untitled ? m_workingFolder->filePath(file) : file;
    if (!existing.isNull())
        writeFile(path, existing);
    // As the base field editor leaves it.
    writeFile(appFile("TEST.BMP"), "BM");
    m_state->workingFiles.recordWritten(appFile("TEST.BMP"));
    setFileState(m_window->session(), file, modified);
    m_dialogs->messageAnswers.append(answers);

    QVERIFY(m_window->close());
    QCOMPARE(m_dialogs->messages.size(), answers.size());
    if (!answers.isEmpty())
        verifyQuestion(m_dialogs->messages.at(0), saveTitle, QLatin1String("Save changes in '") + file + "' ?");
    if (answers.size() > 1)
        verifyQuestion(m_dialogs->messages.at(1), overwriteTitle,
                       QLatin1Char('\'') + file + "' already exists. Do you want to over write it?");
    if (written)
        QCOMPARE(fileContents(path), encodeDocument(m_window->session().document()));
    else if (!path.isEmpty())
        QCOMPARE(QFile::exists(path) ? fileContents(path) : QByteArray(), existing);
    QVERIFY(!handOverBitmapsExist());
}

void TestLifecycle::failedSaveAtExitAsksWhetherToQuit()
{
    load();
    setFileState(m_window->session(), appFile("no such folder/tree.vrf"), true);
    m_dialogs->messageAnswers.append({MessageButton::Yes, MessageButton::No});

    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_dialogs->messages.size(), 2);
    const MessageRequest &warning = m_dialogs->messages.at(1);
    QCOMPARE(warning.icon, MessageIcon::Warning);
    QVERIFY(warning.text.contains(m_window->session().currentFile()));
    QCOMPARE(warning.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
    QCOMPARE(warning.defaultButton, MessageButton::No);
    QVERIFY(QFile::exists(appFile("TEMP.BMP")));

    m_dialogs->messageAnswers.append({MessageButton::Yes, MessageButton::Yes});
    QVERIFY(m_window->close());
    QVERIFY(!handOverBitmapsExist());
}

void TestLifecycle::exitCommandRunsTheShutdown()
{
    load();
    setFileState(m_window->session(), appFile("tree.vrf"), true);
    m_dialogs->messageAnswers.enqueue(MessageButton::No);
    m_window->findChild<QAction *>(QStringLiteral("exit"))->trigger();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!handOverBitmapsExist());
}

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
