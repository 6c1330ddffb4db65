#include "app/posterdialog.h"
#include "app/posterexport.h"
#include "document/colour.h"
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
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using namespace Vorlane;

namespace {

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
    PosterChoice choice{QSize(80, 60), 2'000'000, 2.2, true, false};
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

void TestPosterExport::cancellingWritesNothing()
{
    MainWindowFixture fixture;
    const QString path = fixture.folder.filePath(QStringLiteral("tree.png"));
    fixture.dialogs.fileAnswers.enqueue(path);
    answerPosterDialog(fixture.window.get(), {QSize(100, 100), 10'000'000'000, 2.2, false, false});
    QSignalSpy ended(&fixture.window->posterExport(), &PosterExport::ended);
    fixture.run(QStringLiteral("poster"));
    auto *progress = fixture.window->findChild<QProgressDialog *>(QStringLiteral("posterProgress"));
    QVERIFY(progress);
    // The first progress waits for the view to be fitted, slow under the sanitizers.
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0, 60000);
    progress->findChild<QPushButton *>()->click();
    QVERIFY(ended.wait(30000));
    QVERIFY(!QFile::exists(path));
    QVERIFY(fixture.dialogs.messages.isEmpty());
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
