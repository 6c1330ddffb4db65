#include "app/posterdialog.h"
#include "app/posterexport.h"
#include "document/colour.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwindows.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QUrl>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace Vorlane;

Q_DECLARE_METATYPE(Vorlane::PosterChoice)

namespace {

PosterChoice choiceOf(QSize size, qint64 points, bool transparent, bool deep)
{
    PosterChoice choice;
    choice.size = size;
    choice.points = points;
    choice.transparent = transparent;
    choice.deep = deep;
    return choice;
}

// Fills the poster dialog when it shows and presses OK.
void answerPosterDialog(QObject *context, const PosterChoice &choice)
{
    whenModalShows(context, QStringLiteral("posterDialog"), [choice](QWidget *dialog) {
        dialog->findChild<QSpinBox *>(QStringLiteral("posterWidth"))->setValue(choice.size.width());
        dialog->findChild<QSpinBox *>(QStringLiteral("posterHeight"))->setValue(choice.size.height());
        dialog->findChild<QSpinBox *>(QStringLiteral("posterPoints"))->setValue(int(choice.points / 1'000'000));
        dialog->findChild<QCheckBox *>(QStringLiteral("posterTransparent"))->setChecked(choice.transparent);
        dialog->findChild<QCheckBox *>(QStringLiteral("posterDeep"))->setChecked(choice.deep);
        auto *palette = dialog->findChild<QComboBox *>(QStringLiteral("posterPalette"));
        palette->setCurrentIndex(palette->findData(choice.palette));
        auto *colourBy = dialog->findChild<QComboBox *>(QStringLiteral("posterColourBy"));
        colourBy->setCurrentIndex(colourBy->findData(int(choice.colourBy)));
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("posterBrightness"))->setValue(choice.brightness);
        dialog->findChild<QSpinBox *>(QStringLiteral("posterSkip"))->setValue(choice.skip);
        dialog->findChild<QSpinBox *>(QStringLiteral("posterSupersample"))->setValue(choice.supersample);
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
}

} // namespace

class TestPosterExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).remove(QStringLiteral("poster")); }
    void theEntryFollowsStartBehindASeparator();
    void aPosterIsWrittenAndItsChoiceRemembered();
    void cancellingWritesNothing_data();
    void cancellingWritesNothing();
    void thePreviewFollowsTheChoices();
};

void TestPosterExport::theEntryFollowsStartBehindASeparator()
{
    const UnshownMainWindowFixture fixture;
    QAction *poster = fixture.command(QStringLiteral("poster"));
    QCOMPARE(poster->text(), QStringLiteral("Export &Poster..."));
    QVERIFY(poster->shortcut().isEmpty());
}

void TestPosterExport::aPosterIsWrittenAndItsChoiceRemembered()
{
    MainWindowFixture fixture;
    const QString path = fixture.folder.filePath(QStringLiteral("tree.png"));
    fixture.dialogs.fileAnswers.enqueue(path);
    fixture.dialogs.messageAnswers.enqueue(MessageButton::Yes);
    PosterChoice choice = choiceOf(QSize(80, 60), 2'000'000, true, false);
    choice.palette = QStringLiteral("ember");
    choice.colourBy = PosterColourBy::Map;
    choice.brightness = 4.0;
    choice.skip = 2;
    choice.supersample = 2;
    answerPosterDialog(fixture.window.get(), choice);
    QSignalSpy ended(&fixture.window->posterExport(), &PosterExport::ended);
    fixture.run(QStringLiteral("poster"));
    QVERIFY(!fixture.command(QStringLiteral("poster"))->isEnabled());
    QVERIFY(ended.wait(30000));
    QVERIFY(fixture.command(QStringLiteral("poster"))->isEnabled());
    QCOMPARE(fixture.dialogs.messages.size(), 1);
    QVERIFY(fixture.dialogs.messages.constFirst().text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(fixture.dialogs.openedLinks, QStringList{QUrl::fromLocalFile(path).toString()});
    QCOMPARE(fixture.dialogs.saveRequests.size(), 1);
    QVERIFY(fixture.dialogs.saveRequests.constFirst().filter.contains(QLatin1String("*.png")));

    const QImage poster(path);
    QCOMPARE(poster.size(), choice.size);
    QCOMPARE(poster.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(PosterChoice::remembered(), choice);
    const PosterDialog again(PosterChoice::remembered(), fixture.window->session().document());
    QCOMPARE(again.choice(), choice);
}

void TestPosterExport::cancellingWritesNothing_data()
{
    QTest::addColumn<PosterChoice>("choice");
    QTest::addColumn<int>("progress"); // the per mille the bar shows when the user acts
    QTest::addColumn<bool>("closeWindow"); // instead of pressing Cancel
    const PosterChoice endless = choiceOf(QSize(100, 100), 10'000'000'000, false, false);
    // Few points on many pixels: the toning and the encoding follow the bar's end.
    const PosterChoice large = choiceOf(QSize(2000, 2000), 1'000'000, false, true);
    QTest::newRow("Cancel while the points are added") << endless << 1 << false;
    QTest::newRow("Cancel once the bar is full") << large << 1000 << false;
    QTest::newRow("closing the window, stopping the export") << endless << 1 << true;
    QTest::newRow("closing the window once the bar is full") << large << 1000 << true;
}

void TestPosterExport::cancellingWritesNothing()
{
    QFETCH(PosterChoice, choice);
    QFETCH(int, progress);
    QFETCH(bool, closeWindow);
    MainWindowFixture fixture;
    const QString path = fixture.folder.filePath(QStringLiteral("tree.png"));
    writeFile(path, "the poster before");
    fixture.dialogs.fileAnswers.enqueue(path);
    fixture.dialogs.messageAnswers.enqueue(MessageButton::Yes); // replace it
    answerPosterDialog(fixture.window.get(), choice);
    QSignalSpy ended(&fixture.window->posterExport(), &PosterExport::ended);
    fixture.run(QStringLiteral("poster"));
    const QPointer<QProgressDialog> bar = fixture.window->findChild<QProgressDialog *>(QStringLiteral("posterProgress"));
    QVERIFY(bar);
    // The first progress waits for the view to be fitted, slow under the sanitizers.
    QTRY_VERIFY_WITH_TIMEOUT(bar && bar->value() >= progress, 60000);
    QVERIFY(fixture.window->posterExport().isRunning());
    if (closeWindow) {
        fixture.dialogs.messageAnswers.enqueue(MessageButton::Yes);
        QVERIFY(fixture.window->close());
        QCOMPARE(fixture.dialogs.messages.size(), 2);
        QCOMPARE(fixture.dialogs.messages.at(1).buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
        QVERIFY(!fixture.window->posterExport().isRunning());
        QVERIFY(!bar);
    } else {
        bar->findChild<QPushButton *>()->click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);
    QCOMPARE(fileContents(path), QByteArray("the poster before"));
    QCOMPARE(QDir(fixture.folder.appDir()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp")),
             QStringList());
    QCOMPARE(fixture.dialogs.messages.size(), closeWindow ? 2 : 1);
}

void TestPosterExport::thePreviewFollowsTheChoices()
{
    const FractalDocument document = startupDocument(1.0f, 1.0f, rgbColour(10, 10, 30));
    PosterChoice choice;
    choice.size = QSize(600, 300);
    PosterDialog dialog(choice, document);
    auto *preview = dialog.findChild<QLabel *>(QStringLiteral("posterPreview"));
    QTRY_VERIFY(!preview->pixmap().isNull());
    const QImage first = preview->pixmap().toImage();
    QCOMPARE(first.size(), QSize(300, 150));
    auto *palette = dialog.findChild<QComboBox *>(QStringLiteral("posterPalette"));
    palette->setCurrentIndex(palette->findData(QStringLiteral("ember")));
    QTRY_VERIFY(preview->pixmap().toImage() != first);
    choice.palette = QStringLiteral("ember");
    QCOMPARE(preview->pixmap().toImage(), posterPreview(document, choice, 300).convertToFormat(first.format()));
}

QTEST_MAIN(TestPosterExport)
#include "tst_posterexport.moc"
