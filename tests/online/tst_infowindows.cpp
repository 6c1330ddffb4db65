#include "app/mainwindow.h"
#include "widgets/systemdialogs.h"
#include "document/colour.h"
#include "online/aboutwindow.h"
#include "online/linklabel.h"
#include "netinfo/netinfo.h"
#include "online/notewindow.h"
#include "online/onlinelinks.h"
#include "online/waitwindow.h"
#include "support/controls.h"
#include "support/modalwindows.h"
#include "support/scripteddialogs.h"
#include "support/testfolder.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Vorlane;

namespace {

constexpr qint32 aboutLinkColour = rgbColour(0, 0, 128);
constexpr qint32 noteLinkColour = rgbColour(0, 0, 192);

NetInfo someAddresses()
{
    NetInfo info;
    setDefaultAddresses(info);
    info.authorMail = QStringLiteral("someone@vorlane.example");
    info.authorPage = QStringLiteral("https://someone.vorlane.example/");
    return info;
}

LinkLabel *link(QWidget *window, const char *name)
{
    return findControl<LinkLabel>(window, name);
}

QString labelText(QWidget *window, const char *name)
{
    const auto *label = window->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("(missing)");
}

void moveOver(QWidget *widget, QPoint position = QPoint(2, 2))
{
    QTest::mouseMove(widget, position);
    QApplication::processEvents();
}

// A point of the window's background, away from every control.
QPoint backgroundPoint(QWidget *window)
{
    for (int y = 1; y < window->height(); y += 2) {
        for (int x = 1; x < window->width(); x += 2) {
            if (window->childAt(x, y) == nullptr)
                return QPoint(x, y);
        }
    }
    return QPoint();
}

} // namespace

class TestInfoWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void waitCaptionRunsThroughSevenPointsAndBack();
    void waitWindowShowsTheAttempt();
    void aboutWindowTexts();
    void aboutLinkWritesToTheAuthor();
    void aboutLinkHover();
    void noteWindowLinks();
    void noteLinkHover();
    void textFromFilesAndTheNetworkIsNeverMarkup();
    void ctrlAOpensTheAboutWindowAndItsNoteButtonTheNoteWindow();
};

void TestInfoWindows::waitCaptionRunsThroughSevenPointsAndBack()
{
    WaitWindow wait;
    QCOMPARE(wait.objectName(), QStringLiteral("waitfrm"));
    QCOMPARE(wait.windowTitle(), QStringLiteral("Connecting"));
    const auto *timer = wait.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 200);
    QStringList captions;
    for (int tick = 1; tick <= 9; ++tick) {
        wait.advanceCaption();
        captions.append(wait.windowTitle());
    }
    QCOMPARE(captions, QStringList({"Connecting.", "Connecting..", "Connecting...", "Connecting....",
                                    "Connecting.....", "Connecting......", "Connecting.......", "Connecting",
                                    "Connecting."}));
    // The timer itself drives the caption.
    QTRY_COMPARE_WITH_TIMEOUT(wait.windowTitle(), QStringLiteral("Connecting.."), 1000);
}

void TestInfoWindows::waitWindowShowsTheAttempt()
{
    WaitWindow wait;
    QCOMPARE(labelText(&wait, "wt"), QStringLiteral("Please wait while Vorlane connects to the server."));
    QCOMPARE(labelText(&wait, "Label1"), QStringLiteral("Attempting to connect ..."));
    QCOMPARE(labelText(&wait, "Label2"), QStringLiteral("Attempt number"));
    QCOMPARE(labelText(&wait, "atnolbl"), QStringLiteral("0"));
    QCOMPARE(labelText(&wait, "Label4"), QStringLiteral("of  10"));
    wait.showAttempt(7);
    QCOMPARE(labelText(&wait, "atnolbl"), QStringLiteral(" 7"));
    wait.showSuccess();
    QCOMPARE(labelText(&wait, "wt"), QStringLiteral("Connecting to the server successful. Thank you."));
}

void TestInfoWindows::aboutWindowTexts()
{
    ScriptedDialogs dialogs;
    AboutWindow about(someAddresses(), dialogs);
    QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vorlane 2.0"));
    QCOMPARE(labelText(&about, "lblTitle"), QStringLiteral("Vorlane 2.0"));
    QCOMPARE(labelText(&about, "lblVersion"), QStringLiteral("Version:  2.0.2"));
    QCOMPARE(labelText(&about, "lblDescription"), QStringLiteral("Two Dimentional Linear  Fractal Structure Creator "));
    QCOMPARE(labelText(&about, "Label1"), QStringLiteral("Created by"));
    QCOMPARE(labelText(&about, "HLink1"), QStringLiteral("The Vorlane team"));
    QCOMPARE(labelText(&about, "lblDisclaimer"), QString());
    QVERIFY(!findControl<QLabel>(&about, "picIcon")->pixmap().isNull());
    QCOMPARE(findControl<QPushButton>(&about, "cmdOK")->text(), QStringLiteral("OK"));
    QCOMPARE(findControl<QPushButton>(&about, "Command1")->text(), QStringLiteral("Note from the progremmer..."));
}

void TestInfoWindows::aboutLinkWritesToTheAuthor()
{
    ScriptedDialogs dialogs;
    AboutWindow about(someAddresses(), dialogs);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(link(&about, "HLink1"), Qt::LeftButton);
    QCOMPARE(dialogs.openedLinks,
             QStringList{QStringLiteral("mailto:someone@vorlane.example?subject=Mail from VR 2.0 user")});
}

void TestInfoWindows::aboutLinkHover()
{
    ScriptedDialogs dialogs;
    AboutWindow about(someAddresses(), dialogs);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    LinkLabel *mail = link(&about, "HLink1");
    QCOMPARE(mail->foreColour(), aboutLinkColour);
    moveOver(mail);
    QCOMPARE(mail->foreColour(), LinkLabel::hoverColour);
    moveOver(findControl<QLabel>(&about, "lblTitle"));
    QCOMPARE(mail->foreColour(), LinkLabel::hoverColour);
    moveOver(&about, backgroundPoint(&about));
    QCOMPARE(mail->foreColour(), aboutLinkColour);
}

void TestInfoWindows::noteWindowLinks()
{
    ScriptedDialogs dialogs;
    NoteWindow note(someAddresses(), dialogs);
    note.show();
    QVERIFY(QTest::qWaitForWindowExposed(&note));
    QCOMPARE(note.objectName(), QStringLiteral("Form6"));
    QCOMPARE(note.windowTitle(), QStringLiteral("Note From the Programmer"));
    QCOMPARE(labelText(&note, "Label1"), QStringLiteral("The Vorlane team :"));
    QCOMPARE(labelText(&note, "Label3"), QStringLiteral("Email Address : "));
    QCOMPARE(labelText(&note, "Label8"), QStringLiteral("Web site address:"));
    QCOMPARE(labelText(&note, "Label4"), QStringLiteral("About the programmer:"));
    QCOMPARE(labelText(&note, "HLink1"), QStringLiteral("someone@vorlane.example"));
    QCOMPARE(labelText(&note, "HLink2"), QStringLiteral("https://someone.vorlane.example/"));
    QVERIFY(note.findChildren<QPushButton *>().isEmpty());

    QTest::mouseClick(link(&note, "HLink2"), Qt::LeftButton);
    QTest::mouseClick(link(&note, "HLink1"), Qt::LeftButton);
    QCOMPARE(dialogs.openedLinks, QStringList({QStringLiteral("https://someone.vorlane.example/"),
                                               QStringLiteral("mailto:someone@vorlane.example?subject=Mail from VR 2.0 user")}));
}

void TestInfoWindows::textFromFilesAndTheNetworkIsNeverMarkup()
{
    NetInfo info = someAddresses();
    info.authorMail = QStringLiteral("<h1 style=\"color:red\">a</h1><img width=30000 height=30000>");
    info.authorPage = QStringLiteral("<b>page</b>");
    ScriptedDialogs dialogs;
    NoteWindow note(info, dialogs);
    for (const char *name : {"HLink1", "HLink2"}) {
        QCOMPARE(link(&note, name)->textFormat(), Qt::PlainText);
        QVERIFY(link(&note, name)->sizeHint().width() < 1000);
    }

    // A path in a message is shown as it is spelt.
    Qt::TextFormat format = Qt::AutoText;
    whenModalShows(this, QString(), [&format](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    SystemDialogs().showMessage(nullptr, {QStringLiteral("'<img src=/x.png>' doesnot contain a valied Fractal Image"),
                                          QStringLiteral("Error Opening File"), MessageIcon::Warning,
                                          {MessageButton::Ok}, MessageButton::Ok});
    QCOMPARE(format, Qt::PlainText);
}

void TestInfoWindows::noteLinkHover()
{
    ScriptedDialogs dialogs;
    NoteWindow note(someAddresses(), dialogs);
    note.show();
    QVERIFY(QTest::qWaitForWindowExposed(&note));
    LinkLabel *mail = link(&note, "HLink1");
    LinkLabel *page = link(&note, "HLink2");
    QCOMPARE(mail->foreColour(), noteLinkColour);
    moveOver(mail);
    moveOver(page);
    QCOMPARE(mail->foreColour(), LinkLabel::hoverColour);
    QCOMPARE(page->foreColour(), LinkLabel::hoverColour);
    // The e-mail link's neighbours let it go, not the web link.
    moveOver(findControl<QLabel>(&note, "Label3"));
    QCOMPARE(mail->foreColour(), noteLinkColour);
    QCOMPARE(page->foreColour(), LinkLabel::hoverColour);
    moveOver(mail);
    moveOver(findControl<QLabel>(&note, "Label2"));
    QCOMPARE(mail->foreColour(), noteLinkColour);
    moveOver(&note, backgroundPoint(&note));
    QCOMPARE(page->foreColour(), noteLinkColour);
}

void TestInfoWindows::ctrlAOpensTheAboutWindowAndItsNoteButtonTheNoteWindow()
{
    TestFolder folder;
    ProgramState state;
    state.appDir = folder.appDir();
    ScriptedDialogs dialogs;
    MainWindow window(state, dialogs);
    window.online().netInfo() = someAddresses();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QStringList seen;
    whenModalShows(&window, QStringLiteral("frmAbout"), [&seen](QWidget *about) {
        seen.append(about->objectName());
        QPointer<QWidget> aboutWindow(about);
        whenModalShows(about, QStringLiteral("Form6"), [&seen, aboutWindow](QWidget *note) {
            seen.append(note->objectName());
            seen.append(aboutWindow && aboutWindow->isVisible() ? QStringLiteral("about still open") : QString());
            note->close();
        });
        clickButton(about, "Command1");
    });
    QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(seen, QStringList({QStringLiteral("frmAbout"), QStringLiteral("Form6"), QString()}));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
