#include "document/colour.h"
#include "document/documentsession.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

FractalDocument startup()
{
    return startupDocument(0.5f, 0.25f, rgbColour(254, 253, 245));
}

// Runs one word of a script on the session: an accepted change, an Add, New,
// Open, a save under a name in folder, undo or redo.
void run(DocumentSession &session, const QString &word, const QTemporaryDir &folder)
{
    if (word == QLatin1String("accept")) {
        session.change(QStringLiteral("Accept Transformation"), DocumentPart::Transformations, Modification::Sets,
                       [](FractalDocument &document) {
                           document.transformations[0].rotation += 1.0f;
                           return true;
                       });
    } else if (word == QLatin1String("add")) {
        session.change(QStringLiteral("Add Transformation"), DocumentPart::Transformations, Modification::Keeps,
                       [](FractalDocument &document) {
                           document.transformations.append(Transformation{});
                           return true;
                       });
    } else if (word == QLatin1String("new")) {
        session.newDocument(QStringLiteral("Untitled.vrf"));
    } else if (word.startsWith(QLatin1String("open:"))) {
        FractalDocument opened = startup();
        opened.centreX = 77;
        session.openDocument(opened, word.mid(5));
    } else if (word.startsWith(QLatin1String("save:"))) {
        session.save(folder.filePath(word.mid(5)));
    } else if (word == QLatin1String("undo")) {
        session.undo();
    } else if (word == QLatin1String("redo")) {
        session.redo();
    } else {
        QFAIL(qPrintable(QLatin1String("unknown word ") + word));
    }
}

} // namespace

class TestDocumentSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modifiedAndFileFollowTheHistory_data();
    void modifiedAndFileFollowTheHistory();
    void stepsLeaveTheViewCentreAndScalesAlone();
    void refusedEditIsNoStep();
    void beginForgetsTheHistory();
};

void TestDocumentSession::modifiedAndFileFollowTheHistory_data()
{
    QTest::addColumn<QString>("script"); // after begin with "a.vrf"
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("currentFile");
    QTest::addColumn<bool>("clean");
    QTest::newRow("accepted change") << "accept" << true << "a.vrf" << false;
    QTest::newRow("Add keeps the flag") << "add" << false << "a.vrf" << false;
    QTest::newRow("Add after a change") << "accept add" << true << "a.vrf" << false;
    QTest::newRow("undo to the start") << "accept undo" << false << "a.vrf" << true;
    QTest::newRow("redo") << "accept undo redo" << true << "a.vrf" << false;
    QTest::newRow("undo to the save") << "accept save:b.vrf accept undo" << false << "b.vrf" << true;
    // The file holds the change: going back before it is unsaved work.
    QTest::newRow("undo past the save") << "accept save:b.vrf undo" << true << "b.vrf" << false;
    QTest::newRow("redo to the save") << "accept save:b.vrf undo redo" << false << "b.vrf" << true;
    QTest::newRow("Add undone past the save") << "add save:b.vrf undo" << false << "b.vrf" << false;
    QTest::newRow("change redone after the save") << "accept undo save:b.vrf redo" << true << "b.vrf" << false;
    QTest::newRow("New") << "accept new" << false << "Untitled.vrf" << true;
    QTest::newRow("New undone") << "accept new undo" << true << "a.vrf" << false;
    QTest::newRow("New undone and redone") << "accept new undo redo" << false << "Untitled.vrf" << true;
    QTest::newRow("Open") << "open:c.vrf" << false << "c.vrf" << true;
    QTest::newRow("Open, change, undo") << "open:c.vrf accept undo" << false << "c.vrf" << true;
    // A save after Open names the opened document; the one before keeps its name.
    QTest::newRow("save after Open, undo Open") << "open:c.vrf save:d.vrf undo" << false << "a.vrf" << false;
    QTest::newRow("save after Open, Open redone") << "open:c.vrf save:d.vrf undo redo" << false << "d.vrf"
                                                  << true;
    QTest::newRow("saved before New, New undone") << "accept new undo save:e.vrf redo undo" << false << "e.vrf"
                                                  << true;
    QTest::newRow("a failed save changes nothing") << "accept save:missing/b.vrf" << true << "a.vrf" << false;
    QTest::newRow("a step after undo drops the redo") << "accept undo add redo" << false << "a.vrf" << false;
}

void TestDocumentSession::modifiedAndFileFollowTheHistory()
{
    QFETCH(QString, script);
    QFETCH(bool, modified);
    QFETCH(QString, currentFile);
    QFETCH(bool, clean);
    const QTemporaryDir folder;
    DocumentSession session;
    session.begin(startup(), QStringLiteral("a.vrf"));
    QSignalSpy told(&session, &DocumentSession::modifiedChanged);
    for (const QString &word : script.split(QLatin1Char(' ')))
        run(session, word, folder);
    QCOMPARE(session.isModified(), modified);
    QCOMPARE(QFileInfo(session.currentFile()).fileName(), currentFile);
    QCOMPARE(session.isClean(), clean);
    // Told of every turn, and of nothing else.
    for (qsizetype k = 0; k < told.size(); ++k)
        QCOMPARE(told.at(k).at(0).toBool(), k % 2 == 0);
    QCOMPARE(told.size() % 2 == 1, modified);
}

void TestDocumentSession::stepsLeaveTheViewCentreAndScalesAlone()
{
    DocumentSession session;
    session.begin(startup());
    run(session, QStringLiteral("accept"), QTemporaryDir());
    session.setViewCentre(-40, 60);
    session.setScales(2.0f, 3.0f);
    QVERIFY(session.isModified());
    session.undo();
    QCOMPARE(session.document().centreX, qint16(-40));
    QCOMPARE(session.document().centreY, qint16(60));
    QCOMPARE(session.document().settings.scaleX, 2.0f);
    QCOMPARE(session.document().settings.scaleY, 3.0f);
    QVERIFY(!session.isModified());
    QVERIFY(!session.canUndo());
}

void TestDocumentSession::refusedEditIsNoStep()
{
    DocumentSession session;
    session.begin(startup());
    QVERIFY(!session.change(QStringLiteral("Remove Transformation"), DocumentPart::Transformations, Modification::Keeps,
                            [](FractalDocument &document) {
                                document.transformations.clear(); // dropped with the refusal
                                return false;
                            }));
    QCOMPARE(session.document(), startup());
    QVERIFY(!session.canUndo());
}

void TestDocumentSession::beginForgetsTheHistory()
{
    DocumentSession session;
    session.begin(startup(), QStringLiteral("a.vrf"));
    run(session, QStringLiteral("accept"), QTemporaryDir());
    run(session, QStringLiteral("new"), QTemporaryDir());
    session.begin(startup(), QStringLiteral("b.vrf"));
    QVERIFY(!session.canUndo());
    QVERIFY(!session.canRedo());
    QVERIFY(!session.isModified());
    QCOMPARE(session.currentFile(), QStringLiteral("b.vrf"));
    QCOMPARE(session.document(), startup());
}

QTEST_GUILESS_MAIN(TestDocumentSession)
#include "tst_documentsession.moc"
