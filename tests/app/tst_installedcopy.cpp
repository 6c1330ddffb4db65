#include "app/mainwindow.h"
#include "surroundings/datafolder.h"
#include "document/documentfile.h"
#include "surroundings/programfiles.h"
#include "surroundings/programstate.h"
#include "netinfo/netinfo.h"
#include "online/onlinelinks.h"
#include "support/onlinetestdata.h"
#include "support/files.h"
#include "support/launchcount.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

using Snapshot = QHash<QString, QByteArray>;

// Every file below folder with its bytes.
Snapshot snapshot(const QString &folder)
{
    Snapshot files;
    QDirIterator below(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (below.hasNext()) {
        const QString path = below.next();
        files.insert(path, fileContents(path));
    }
    return files;
}

NetInfo netInfoWithSite(const char *site)
{
    NetInfo info = shippedNetInfo();
    info.siteAddr = QLatin1String(site);
    return info;
}

} // namespace

// A program started from an installation, whose folder holds no data files
// while the installation's data folder beside it does.
class TestInstalledCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void worksInTheUsersFolderAndLeavesTheInstallationAlone();
    void updateRewritesTheUsersNetInfoFileOnly();

private:
    void load(MainWindow &window, const QString &documentPath = QString());
    QString userFile(const char *name) const { return m_userFolder + QLatin1Char('/') + QLatin1String(name); }
    QAction *command(MainWindow &window, const char *name) const;

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_programFolder;
    QString m_installedData;
    QString m_userFolder;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

void TestInstalledCopy::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_programFolder = m_root->filePath(QStringLiteral("bin"));
    m_installedData = QDir::cleanPath(installedDataFolder(m_programFolder));
    m_userFolder = m_root->filePath(QStringLiteral("data/vorlane"));
    QVERIFY(QDir().mkpath(m_programFolder));
    QVERIFY(QDir().mkpath(m_installedData + QLatin1String("/help")));
    QVERIFY(QDir().mkpath(m_installedData + QLatin1String("/Fractals")));
    writeFile(m_installedData + QLatin1String("/vornet.dat"), netInfoFileBytes(netInfoWithSite("https://installed.example/")));
    writeFile(m_installedData + QLatin1String("/vornad.dat"), gifOfSize(800));
    writeFile(m_installedData + QLatin1String("/help/VR2_Help.html"), "<html></html>");
    QVERIFY(saveDocumentFile(startupDocument(1, 1, 0x102030), m_installedData + QLatin1String("/Fractals/Tree.vrf")));
    keepNoUpdateDue();
    m_state = std::make_unique<ProgramState>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

void TestInstalledCopy::cleanup()
{
    QVERIFY(!m_dialogs->hasUnexpected());
}

void TestInstalledCopy::load(MainWindow &window, const QString &documentPath)
{
    window.load({m_programFolder, documentPath, m_userFolder});
}

QAction *TestInstalledCopy::command(MainWindow &window, const char *name) const
{
    return window.findChild<QAction *>(QLatin1String(name));
}

void TestInstalledCopy::worksInTheUsersFolderAndLeavesTheInstallationAlone()
{
    const Snapshot installed = snapshot(m_root->path());
    MainWindow window(*m_state, *m_dialogs);
    load(window, m_installedData + QLatin1String("/Fractals/Tree.vrf"));

    QCOMPARE(m_state->appDir, appDirFor(m_userFolder));
    QCOMPARE(window.online().netInfo().siteAddr, QStringLiteral("https://installed.example/"));
    QCOMPARE(fileContents(userFile("vornad.gif")), gifOfSize(800));
    QVERIFY(!QFile::exists(userFile("vornad.dat")));
    QVERIFY(QFile::exists(userFile("BLANK.BMP")));
    window.startRendering();
    QVERIFY(fileContents(userFile("TEMP.BMP")) != fileContents(userFile("BLANK.BMP")));

    command(window, "incnt")->trigger();
    QCOMPARE(m_dialogs->openedLinks, QStringList{QDir::toNativeSeparators(userFile("help/VR2_Help.html"))});
    QVERIFY(QFile::exists(m_dialogs->openedLinks.constFirst()));
    m_dialogs->fileAnswers.enqueue(QString());
    command(window, "flopn")->trigger();
    const QFileInfo openStart(m_dialogs->openRequests.constFirst().initialName);
    QCOMPARE(openStart.absolutePath(), userFile("Fractals"));
    QVERIFY(QFile::exists(userFile("Fractals/Tree.vrf")));

    window.close();
    for (const char *bitmap : {"BLANK.BMP", "TEMP.BMP", "TEST.BMP", "vornad.gif"})
        QVERIFY2(!QFile::exists(userFile(bitmap)), bitmap);
    QCOMPARE(fileContents(userFile("vornad.dat")), gifOfSize(800));
    // Only the user's folder was written.
    Snapshot after = snapshot(m_root->path());
    after.removeIf([this](const auto &file) { return file.key().startsWith(m_userFolder); });
    QCOMPARE(after, installed);
}

void TestInstalledCopy::updateRewritesTheUsersNetInfoFileOnly()
{
    LocalHttpServer server;
    NetInfo fresh = netInfoWithSite("https://fresh.example/");
    fresh.adAddr = server.url(QStringLiteral("/vornad.gif"));
    server.answer(QStringLiteral("/vornet.txt"), netInfoFileBytes(fresh));
    server.answer(QStringLiteral("/vornad.gif"), gifOfSize(900));
    keepLaunchCount(QVariant());
    m_dialogs->messageAnswers.enqueue(MessageButton::Ok);
    {
        MainWindow window(*m_state, *m_dialogs);
        window.online().setMirrors({server.url(QStringLiteral("/vornet.txt"))});
        load(window);
        QCOMPARE(m_dialogs->messages.size(), 1);
        window.close();
    }
    QCOMPARE(fileContents(userFile("vornet.dat")), netInfoFileBytes(fresh));
    QCOMPARE(fileContents(userFile("vornad.dat")), gifOfSize(900));
    QCOMPARE(fileContents(m_installedData + QLatin1String("/vornet.dat")),
             netInfoFileBytes(netInfoWithSite("https://installed.example/")));

    // The next start keeps the user's newer files.
    ProgramState nextState;
    MainWindow next(nextState, *m_dialogs);
    load(next);
    QCOMPARE(next.online().netInfo().siteAddr, QStringLiteral("https://fresh.example/"));
    QCOMPARE(fileContents(userFile("vornad.gif")), gifOfSize(900));
    next.close();
}

QTEST_MAIN(TestInstalledCopy)
#include "tst_installedcopy.moc"
