#include "netinfo/launchcount.h"
#include "online/linklabel.h"
#include "netinfo/netinfodownload.h"
#include "online/onlinelinks.h"
#include "support/onlinetestdata.h"
#include "support/files.h"
#include "support/launchcount.h"
#include "support/localhttpserver.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QDir>
#include <QMovie>
#include <QSettings>
#include <QTest>

using namespace Vorlane;
using namespace std::chrono_literals;

namespace {

const QString confirmationTitle = QStringLiteral("Connection Confirmation for updating Net-info");

// The net-info file the test folder starts with.
NetInfo oldInfo()
{
    NetInfo info = shippedNetInfo();
    info.siteAddr = QStringLiteral("https://old.vorlane.example/");
    return info;
}

} // namespace

class TestOnlineLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void updateReplacesTheAddressesAndThePicture();
    void errorPageFailsAndTheNextMirrorIsTried();
    void incompleteFileFailsAndTheOldOneStays_data();
    void incompleteFileFailsAndTheOldOneStays();
    void noReachableMirrorShowsTheErrorOnceAndKeepsTheOldFile();
    void stalledMirrorTimesOut();
    void redirectIsFollowed();
    void oversizedFileFails();
    void fetchedPicture_data();
    void fetchedPicture();
    void cancelFetchesNothing();
    void firstStartOffersTheUpdate();
    void updateFallsDueOnThe51stStartAfterASuccess();
    void webCommands_data();
    void webCommands();
    void addressesThatAreNotWebAddressesAreNotOpened();
    void pictureAndClickHereOpenTheSite();
    void pictureTooCostlyToPlayIsNotPlayed();

private:
    OnlineLinks &online() { return m_f->window->online(); }
    QString appFile(const char *name) const { return m_f->folder.filePath(QLatin1String(name)); }
    QString mirror(const char *name) const { return m_server->url(QStringLiteral("/%1/vornet.txt").arg(QLatin1String(name))); }
    // The start-up steps up to the update, with these mirrors.
    void prepare(const QStringList &mirrors);
    // Answers the confirmation, and the error message when expected, with OK.
    void updateAnsweringOk(bool errorExpected = false);
    // A valid net-info file whose picture lies on the test server.
    QByteArray freshNetInfo() const;
    void triggerCommand(const char *name);
    void verifyConnectionErrorShownOnce();

    QTemporaryDir m_config;
    std::unique_ptr<UnshownMainWindowFixture> m_f;
    std::unique_ptr<LocalHttpServer> m_server;
    const QByteArray m_oldPicture = gifOfSize(800, '\x10');
    const QByteArray m_newPicture = gifOfSize(900, '\x20');
};

void TestOnlineLinks::initTestCase()
{
    // The launch count goes to a settings folder of the test's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestOnlineLinks::init()
{
    keepLaunchCount(QVariant());
    m_f = std::make_unique<UnshownMainWindowFixture>();
    m_server = std::make_unique<LocalHttpServer>();
    writeFile(appFile("vornet.dat"), netInfoFileBytes(oldInfo()));
    writeFile(appFile("vornad.gif"), m_oldPicture);
}

void TestOnlineLinks::cleanup()
{
    QVERIFY(!m_f->dialogs.hasUnexpected());
    m_f.reset();
}

void TestOnlineLinks::prepare(const QStringList &mirrors)
{
    online().setMirrors(mirrors);
    online().setTransferTimeout(2s);
    online().fillNetInfoSources();
    online().setDefaultAddresses();
}

void TestOnlineLinks::updateAnsweringOk(bool errorExpected)
{
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);
    if (errorExpected)
        m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);
    online().offerUpdate();
}

QByteArray TestOnlineLinks::freshNetInfo() const
{
    NetInfo fresh = shippedNetInfo();
    fresh.siteAddr = QStringLiteral("https://fresh.vorlane.example/");
    fresh.authorMail = QStringLiteral("fresh@vorlane.example");
    fresh.adAddr = m_server->url(QStringLiteral("/ad/vornad.gif"));
    return netInfoFileBytes(fresh);
}

void TestOnlineLinks::triggerCommand(const char *name)
{
    QAction *action = m_f->command(QLatin1String(name));
    QVERIFY(action);
    action->trigger();
}

void TestOnlineLinks::verifyConnectionErrorShownOnce()
{
    QCOMPARE(m_f->dialogs.messages.size(), 2);
    const MessageRequest &error = m_f->dialogs.messages.at(1);
    QCOMPARE(error.title, QStringLiteral("Connection Error"));
    QCOMPARE(error.text, QStringLiteral("An error occured while connecting"));
    QCOMPARE(error.icon, MessageIcon::Critical);
    QCOMPARE(error.buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(fileContents(appFile("vornet.dat")), netInfoFileBytes(oldInfo()));
    QVERIFY(!QFile::exists(appFile("vornet1.dat")));
}

void TestOnlineLinks::updateReplacesTheAddressesAndThePicture()
{
    m_server->answer(QStringLiteral("/a/vornet.txt"), freshNetInfo());
    m_server->answer(QStringLiteral("/ad/vornad.gif"), m_newPicture);
    prepare({mirror("a")});
    online().readNetInfoFile();
    triggerCommand("vrws");
    keepLaunchCount(70);

    m_f->dialogs.messageAnswers.enqueue(MessageButton::Ok);
    online().updateIfDue();

    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(m_server->requests(), QStringList({QStringLiteral("/a/vornet.txt"), QStringLiteral("/ad/vornad.gif")}));
    QCOMPARE(fileContents(appFile("vornet.dat")), freshNetInfo());
    QCOMPARE(fileContents(appFile("vornad.gif")), m_newPicture);
    QVERIFY(!QFile::exists(appFile("vornet1.dat")));
    QVERIFY(!QFile::exists(appFile("vornad1.gif")));
    QCOMPARE(keptLaunchCount().toInt(), 0);
    QVERIFY(online().adPicture()->movie() && online().adPicture()->movie()->isValid());
    triggerCommand("vrws");
    triggerCommand("eml");
    QCOMPARE(m_f->dialogs.openedLinks,
             QStringList({QStringLiteral("https://old.vorlane.example/"), QStringLiteral("https://fresh.vorlane.example/"),
                          QStringLiteral("mailto:fresh@vorlane.example?subject=Mail from VR 2.0 user")}));
}

void TestOnlineLinks::errorPageFailsAndTheNextMirrorIsTried()
{
    m_server->answer(QStringLiteral("/b/vornet.txt"), QByteArray("<html><body>Moved to a new server</body></html>"));
    m_server->answer(QStringLiteral("/c/vornet.txt"), freshNetInfo());
    prepare({mirror("a"), mirror("b"), mirror("c"), mirror("d")});
    updateAnsweringOk();
    QCOMPARE(m_server->requests().mid(0, 3),
             QStringList({QStringLiteral("/a/vornet.txt"), QStringLiteral("/b/vornet.txt"), QStringLiteral("/c/vornet.txt")}));
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(online().netInfo().siteAddr, QStringLiteral("https://fresh.vorlane.example/"));
}

void TestOnlineLinks::incompleteFileFailsAndTheOldOneStays_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("4 bytes") << QByteArray("\xc8\x01" "07", 4);
    QTest::newRow("5 bytes") << QByteArray("\xc8\x01" "070", 5);
    QTest::newRow("last address cut short") << netInfoFileBytes(shippedNetInfo()).chopped(1);
}

void TestOnlineLinks::incompleteFileFailsAndTheOldOneStays()
{
    QFETCH(QByteArray, file);
    m_server->answer(QStringLiteral("/a/vornet.txt"), file);
    prepare({mirror("a")});
    updateAnsweringOk(true);
    verifyConnectionErrorShownOnce();
}

void TestOnlineLinks::noReachableMirrorShowsTheErrorOnceAndKeepsTheOldFile()
{
    QStringList mirrors;
    for (int i = 0; i < 6; ++i)
        mirrors.append(LocalHttpServer::unreachableUrl(QStringLiteral("/vornet.txt")));
    prepare(mirrors);
    m_f->dialogs.messageAnswers.append({MessageButton::Ok, MessageButton::Ok});
    online().updateIfDue();
    verifyConnectionErrorShownOnce();
    QCOMPARE(keptLaunchCount().toInt(), 51);
    QCOMPARE(fileContents(appFile("vornad.gif")), m_oldPicture);
}

void TestOnlineLinks::stalledMirrorTimesOut()
{
    m_server->stayQuiet(QStringLiteral("/a/vornet.txt"));
    m_server->answer(QStringLiteral("/b/vornet.txt"), freshNetInfo());
    prepare({mirror("a"), mirror("b")});
    online().setTransferTimeout(200ms);
    updateAnsweringOk();
    QCOMPARE(fileContents(appFile("vornet.dat")), freshNetInfo());
}

void TestOnlineLinks::redirectIsFollowed()
{
    m_server->redirect(QStringLiteral("/a/vornet.txt"), m_server->url(QStringLiteral("/moved/vornet.txt")));
    m_server->answer(QStringLiteral("/moved/vornet.txt"), freshNetInfo());
    prepare({mirror("a")});
    updateAnsweringOk();
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(fileContents(appFile("vornet.dat")), freshNetInfo());
}

void TestOnlineLinks::oversizedFileFails()
{
    QByteArray huge = freshNetInfo();
    huge.append(QByteArray(maxNetInfoBytes - huge.size() + 1, ' '));
    m_server->answer(QStringLiteral("/a/vornet.txt"), huge);
    prepare({mirror("a")});
    updateAnsweringOk(true);
    verifyConnectionErrorShownOnce();
}

void TestOnlineLinks::fetchedPicture_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("kept");
    QTest::newRow("499-byte GIF") << 200 << gifOfSize(499) << false;
    QTest::newRow("500-byte GIF") << 200 << gifOfSize(500) << true;
    QTest::newRow("not a GIF") << 200 << QByteArray(600, 'x') << false;
    QTest::newRow("PNG") << 200 << QByteArray("\x89PNG\r\n\x1a\n").append(600, '\0') << false;
    QTest::newRow("error page") << 404 << QByteArray(600, 'x') << false;
    QTest::newRow("frame of 5500 x 5500") << 200 << gifOfSize(600, '\xff', QSize(5500, 5500)) << false;
    QTest::newRow("150 frames of 1000 x 1000") << 200 << gifOfSize(5000, '\xff', QSize(1000, 1000), 150) << false;
    QTest::newRow("16 frames of 1000 x 1000") << 200 << gifOfSize(5000, '\xff', QSize(1000, 1000), 16) << true;
}

void TestOnlineLinks::fetchedPicture()
{
    QFETCH(int, status);
    QFETCH(QByteArray, picture);
    QFETCH(bool, kept);
    m_server->answer(QStringLiteral("/a/vornet.txt"), freshNetInfo());
    m_server->answer(QStringLiteral("/ad/vornad.gif"), LocalHttpServer::Response{status, picture, {}, false});
    prepare({mirror("a")});
    updateAnsweringOk();
    QCOMPARE(fileContents(appFile("vornad.gif")), kept ? picture : m_oldPicture);
    QVERIFY(!QFile::exists(appFile("vornad1.gif")));
}

void TestOnlineLinks::cancelFetchesNothing()
{
    prepare({mirror("a")});
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Cancel);
    online().updateIfDue();
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    const MessageRequest &confirmation = m_f->dialogs.messages.constFirst();
    QCOMPARE(confirmation.title, confirmationTitle);
    QCOMPARE(confirmation.text,
             QStringLiteral("The net informations used by Vorlane has to be updated. This will take a few seconds. "
                            "Please make sure that you are connected to the Internet. If not connect now. Then click "
                            "the OK botton below."));
    QCOMPARE(confirmation.buttons, QList<MessageButton>({MessageButton::Ok, MessageButton::Cancel}));
    QVERIFY(m_server->requests().isEmpty());
    QCOMPARE(fileContents(appFile("vornet.dat")), netInfoFileBytes(oldInfo()));
    QCOMPARE(keptLaunchCount().toInt(), 51);
}

void TestOnlineLinks::firstStartOffersTheUpdate()
{
    for (const QVariant &kept : {QVariant(), QVariant(QStringLiteral("not a number"))}) {
        keepLaunchCount(kept);
        m_f->dialogs.messageAnswers.enqueue(MessageButton::Cancel);
        online().updateIfDue();
    }
    QCOMPARE(m_f->dialogs.messages.size(), 2);
}

void TestOnlineLinks::updateFallsDueOnThe51stStartAfterASuccess()
{
    resetLaunchCount();
    for (int start = 1; start <= 50; ++start)
        online().updateIfDue();
    QVERIFY(m_f->dialogs.messages.isEmpty());
    m_f->dialogs.messageAnswers.enqueue(MessageButton::Cancel);
    online().updateIfDue();
    QCOMPARE(m_f->dialogs.messages.size(), 1);
    QCOMPARE(m_f->dialogs.messages.constFirst().title, confirmationTitle);
}

void TestOnlineLinks::webCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("address");
    QTest::newRow("tellfriend") << "tellfriend"
                                << "mailto:Type_email_address_of_your_friend_here?subject=Download Vorlane 2.0 - "
                                   "The amazing fractal graphic program";
    QTest::newRow("vrws") << "vrws" << "https://site.vorlane.example/";
    QTest::newRow("vrg") << "vrg" << "https://site.vorlane.example/gallery/";
    QTest::newRow("eml") << "eml" << "mailto:someone@vorlane.example?subject=Mail from VR 2.0 user";
    QTest::newRow("progsite") << "progsite" << "https://someone.vorlane.example/";
}

void TestOnlineLinks::webCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, address);
    NetInfo &info = online().netInfo();
    info.siteAddr = QStringLiteral("https://site.vorlane.example/");
    info.galleryAddr = QStringLiteral("https://site.vorlane.example/gallery/");
    info.authorMail = QStringLiteral("someone@vorlane.example");
    info.authorPage = QStringLiteral("https://someone.vorlane.example/");
    triggerCommand(command.toLatin1().constData());
    QCOMPARE(m_f->dialogs.openedLinks, QStringList{address});
}

void TestOnlineLinks::addressesThatAreNotWebAddressesAreNotOpened()
{
    NetInfo &info = online().netInfo();
    info.siteAddr = QStringLiteral("/usr/bin/xterm");
    info.galleryAddr = QStringLiteral("C:\\Windows\\system32\\cmd.exe");
    info.authorMail = QStringLiteral("someone@vorlane.example?attach=/etc/passwd");
    info.authorPage = QStringLiteral("file:///etc/passwd");
    for (const char *command : {"vrws", "vrg", "eml", "progsite"})
        triggerCommand(command);
    QVERIFY(m_f->dialogs.openedLinks.isEmpty());

    triggerCommand("incnt");
    QCOMPARE(m_f->dialogs.openedLinks,
             QStringList{QDir::toNativeSeparators(m_f->folder.appDir() + QStringLiteral("help/VR2_Help.html"))});
}

void TestOnlineLinks::pictureAndClickHereOpenTheSite()
{
    online().netInfo().siteAddr = QStringLiteral("https://site.vorlane.example/");
    m_f->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_f->window.get()));
    auto *picture = m_f->window->findChild<ClickableLabel *>(QStringLiteral("Image1"));
    auto *clickHere = m_f->window->findChild<ClickableLabel *>(QStringLiteral("Label2"));
    QVERIFY(picture && clickHere);
    QCOMPARE(clickHere->text(), QStringLiteral("Click Here"));
    QCOMPARE(picture->x(), 4995 / 15);
    QVERIFY(clickHere->y() > picture->y());

    online().playAdPicture();
    QVERIFY(picture->movie()->isValid());
    QTest::mouseClick(picture, Qt::LeftButton);
    QTest::mouseClick(clickHere, Qt::LeftButton);
    QCOMPARE(m_f->dialogs.openedLinks, QStringList(2, QStringLiteral("https://site.vorlane.example/")));
}

void TestOnlineLinks::pictureTooCostlyToPlayIsNotPlayed()
{
    // Kept by an earlier version, within the size limit, beyond the bound.
    writeFile(appFile("vornad.gif"), gifOfSize(5000, '\xff', QSize(1000, 1000), 150));
    online().playAdPicture();
    QVERIFY(!online().adPicture()->movie()->isValid());
}

QTEST_MAIN(TestOnlineLinks)
#include "tst_onlinelinks.moc"
