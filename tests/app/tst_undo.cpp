#include "document/documentfile.h"
#include "widgets/canvasview.h"
#include "support/controls.h"
#include "support/mainwindowfixture.h"
#include "support/modalwindows.h"
#include "support/pictures.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <functional>

using namespace Vorlane;

namespace {

// The user's way to each step, through the windows.
using Step = std::function<void(MainWindowFixture &)>;

// Opens a window with name's command and hands it to act once it shows; the
// window closes afterwards unless act closed it.
void inWindow(MainWindowFixture &f, const char *command, const QString &window, const std::function<void(QWidget *)> &act)
{
    whenModalShows(f.window.get(), window, [act](QWidget *shown) {
        act(shown);
        if (shown->isVisible())
            shown->close();
    });
    f.run(QLatin1String(command));
}

void pickTransformation(QWidget *editor, int index)
{
    auto *list = findControl<QComboBox>(editor, "Lst1");
    list->showPopup();
    list->view()->setCurrentIndex(list->view()->model()->index(index, 0));
    QTest::keyClick(list->view(), Qt::Key_Return);
}

const QHash<QString, Step> &steps()
{
    static const QHash<QString, Step> table{
        {QStringLiteral("Accept Transformation"),
         [](MainWindowFixture &f) {
             inWindow(f, "trns", QStringLiteral("Form2"), [](QWidget *editor) {
                 pickTransformation(editor, 1);
                 findControl<QLineEdit>(editor, "Text3")->setText(QStringLiteral("12.5"));
                 clickButton(editor, "Command1");
             });
         }},
        {QStringLiteral("Add Transformation"),
         [](MainWindowFixture &f) {
             inWindow(f, "trns", QStringLiteral("Form2"), [](QWidget *editor) { clickButton(editor, "Add"); });
         }},
        {QStringLiteral("Remove Transformation"),
         [](MainWindowFixture &f) {
             inWindow(f, "trns", QStringLiteral("Form2"), [](QWidget *editor) {
                 pickTransformation(editor, 0);
                 clickButton(editor, "rem");
             });
         }},
        {QStringLiteral("Save Base Field"),
         [](MainWindowFixture &f) {
             whenModalShows(f.window.get(), QStringLiteral("Form3"), [](QWidget *editor) {
                 clickButton(editor, "save");
                 editor->close();
             });
             inWindow(f, "bstrn", QStringLiteral("Form4"), [](QWidget *range) { clickButton(range, "Command1"); });
         }},
        {QStringLiteral("Change Settings"),
         [](MainWindowFixture &f) {
             inWindow(f, "setng", QStringLiteral("Form7"), [](QWidget *dialog) {
                 findControl<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("7"));
                 findControl<QLineEdit>(dialog, "Text2")->setText(QStringLiteral("2"));
                 clickButton(dialog, "Command1");
             });
         }},
        {QStringLiteral("Change Colors"),
         [](MainWindowFixture &f) {
             f.dialogs.colourAnswers.enqueue(qint32(0x102030));
             inWindow(f, "styl", QStringLiteral("Form5"), [](QWidget *dialog) {
                 findControl<QButtonGroup>(dialog, "Option1")->button(3)->click();
                 clickButton(dialog, "change3");
                 clickButton(dialog, "Cmdaccept");
             });
         }},
        {QStringLiteral("New"), [](MainWindowFixture &f) { f.run(QStringLiteral("flnw")); }},
        {QStringLiteral("Open"),
         [](MainWindowFixture &f) {
             FractalDocument other = f.session().document();
             other.transformations.removeLast();
             other.centreX = 300;
             other.colours.backColour = 0x405060;
             const QString path = f.folder.filePath(QStringLiteral("other.vrf"));
             QVERIFY(saveDocumentFile(other, path));
             f.dialogs.fileAnswers.enqueue(path);
             f.run(QStringLiteral("flopn"));
         }},
    };
    return table;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyStepUndoesAndRedoesExactly_data();
    void everyStepUndoesAndRedoesExactly();
    void undoOfColoursClearsTheCanvasesToTheRestoredBackground();
    void panningIsNoStep();
};

void TestUndo::everyStepUndoesAndRedoesExactly_data()
{
    QTest::addColumn<bool>("modifiedBefore");
    QTest::addColumn<bool>("modifiedAfter");
    QTest::addColumn<QString>("fileAfter"); // empty: the file name stays
    QTest::newRow("Accept Transformation") << false << true << "";
    QTest::newRow("Add Transformation") << false << false << "";
    QTest::newRow("Remove Transformation") << false << false << "";
    QTest::newRow("Save Base Field") << false << true << "";
    QTest::newRow("Change Settings") << false << true << "";
    QTest::newRow("Change Colors") << false << true << "";
    QTest::newRow("New") << true << false << "Untitled.vrf";
    QTest::newRow("Open") << true << false << "other.vrf";
}

void TestUndo::everyStepUndoesAndRedoesExactly()
{
    QFETCH(bool, modifiedBefore);
    QFETCH(bool, modifiedAfter);
    QFETCH(QString, fileAfter);
    MainWindowFixture f;
    DocumentSession &session = f.session();
    const QString name = QLatin1String(QTest::currentDataTag());
    const QString treeFile = f.folder.filePath(QStringLiteral("tree.vrf"));
    setFileState(session, treeFile, modifiedBefore);
    const FractalDocument before = session.document();

    steps().value(name)(f);
    const FractalDocument after = session.document();
    QVERIFY(after != before);
    QCOMPARE(session.isModified(), modifiedAfter);
    const QString expectedFile = fileAfter.isEmpty() ? treeFile : fileAfter;
    QVERIFY2(session.currentFile().endsWith(expectedFile), qPrintable(session.currentFile()));
    QAction *undo = f.command(QStringLiteral("undo"));
    QCOMPARE(undo->text(), QLatin1String("&Undo ") + name);
    QVERIFY(undo->isEnabled());

    // Undone with Ctrl+Z, redone with either redo key, in the main window
    // once more the active one.
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    for (const QKeySequence &redoKey : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        QTest::keySequence(f.window.get(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(session.document(), before);
        QCOMPARE(session.isModified(), modifiedBefore);
        QCOMPARE(session.currentFile(), treeFile);
        QCOMPARE(f.command(QStringLiteral("redo"))->text(), QLatin1String("&Redo ") + name);
        QTest::keySequence(f.window.get(), redoKey);
        QCOMPARE(session.document(), after);
        QCOMPARE(session.isModified(), modifiedAfter);
    }
    QVERIFY(!f.dialogs.hasUnexpected());
}

void TestUndo::undoOfColoursClearsTheCanvasesToTheRestoredBackground()
{
    MainWindowFixture f;
    const qint32 background = f.session().document().colours.backColour;
    steps().value(QStringLiteral("Change Colors"))(f);
    f.window->startRendering();
    f.run(QStringLiteral("undo"));
    const QString blank = f.folder.filePath(QStringLiteral("BLANK.BMP"));
    QVERIFY(isFilledWith(f.window->visibleCanvas()->canvas().persistentImage(), background));
    QVERIFY(isFilledWith(readBitmap(blank), background));
    f.window->startRendering();
    QCOMPARE(colourAt(readBitmap(f.folder.filePath(QStringLiteral("TEMP.BMP"))), 0, 0), background);
}

void TestUndo::panningIsNoStep()
{
    MainWindowFixture f;
    auto *left = f.window->findChild<QWidget *>(QStringLiteral("lt"));
    QTest::mousePress(left, Qt::LeftButton);
    QTest::mouseRelease(left, Qt::LeftButton);
    QCOMPARE(f.session().document().centreX, qint16(20));
    QVERIFY(!f.session().isModified());
    QVERIFY(!f.command(QStringLiteral("undo"))->isEnabled());
    QCOMPARE(f.command(QStringLiteral("undo"))->text(), QStringLiteral("&Undo"));
    QCOMPARE(f.command(QStringLiteral("redo"))->text(), QStringLiteral("&Redo"));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
