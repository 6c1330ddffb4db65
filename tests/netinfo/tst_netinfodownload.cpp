#include "netinfo/netinfodownload.h"
#include "support/onlinetestdata.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

const QByteArray oldNetInfo = netInfoFileBytes(shippedNetInfo());

} // namespace

class TestNetInfoDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void onlyGivenSourcesAreFetched();
    void aShortFileDoesNotKeepTheTailOfAnEarlierOne();
    void failureBringsTheOldFileBack();
    void successKeepsTheNewFileAndDropsTheBackup();
    void pictureFetchedWithoutAnOldOne();

private:
    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    // Answers every address with its body in m_bodies, and fails the others.
    NetInfoDownload download()
    {
        return NetInfoDownload(m_dir->path() + QLatin1Char('/'), [this](const QString &address, qint64 maxBytes) {
            m_fetched.append(address);
            const auto body = m_bodies.constFind(address);
            return body == m_bodies.cend() || body->size() > maxBytes ? std::nullopt
                                                                      : std::optional<QByteArray>(*body);
        });
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QHash<QString, QByteArray> m_bodies;
    QStringList m_fetched;
    std::array<QString, NetInfo::sourceCount> m_sources;
};

void TestNetInfoDownload::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_bodies.clear();
    m_fetched.clear();
    m_sources = {QStringLiteral("one"), QStringLiteral("two")};
    writeFile(path("vornet.dat"), oldNetInfo);
}

void TestNetInfoDownload::onlyGivenSourcesAreFetched()
{
    QList<int> attempts;
    QVERIFY(!download().fetchNetInfo(m_sources, [&attempts](int attempt) { attempts.append(attempt); }));
    QCOMPARE(attempts, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(m_fetched, QStringList({QStringLiteral("one"), QStringLiteral("two")}));
}

void TestNetInfoDownload::aShortFileDoesNotKeepTheTailOfAnEarlierOne()
{
    m_bodies.insert(QStringLiteral("one"), QByteArray("<html><body>Service unavailable</body></html>"));
    m_bodies.insert(QStringLiteral("two"), QByteArray("\xc8\x01", 2)); // version 456 and nothing else
    QVERIFY(!download().fetchNetInfo(m_sources, [](int) {}));
}

void TestNetInfoDownload::failureBringsTheOldFileBack()
{
    m_bodies.insert(QStringLiteral("one"), QByteArray("not a net-info file"));
    NetInfoDownload failing = download();
    QVERIFY(!failing.fetchNetInfo(m_sources, [](int) {}));
    failing.restoreNetInfo();
    QCOMPARE(fileContents(path("vornet.dat")), oldNetInfo);
    QVERIFY(!QFile::exists(path("vornet1.dat")));
}

void TestNetInfoDownload::successKeepsTheNewFileAndDropsTheBackup()
{
    NetInfo fresh = shippedNetInfo();
    fresh.siteAddr = QStringLiteral("https://fresh.vorlane.example/");
    m_bodies.insert(QStringLiteral("two"), netInfoFileBytes(fresh));
    NetInfoDownload succeeding = download();
    QVERIFY(succeeding.fetchNetInfo(m_sources, [](int) {}));
    QCOMPARE(fileContents(path("vornet1.dat")), oldNetInfo);
    succeeding.dropNetInfoBackup();
    QVERIFY(!QFile::exists(path("vornet1.dat")));
    QCOMPARE(fileContents(path("vornet.dat")), netInfoFileBytes(fresh));
}

void TestNetInfoDownload::pictureFetchedWithoutAnOldOne()
{
    m_bodies.insert(QStringLiteral("picture"), gifOfSize(minPictureBytes));
    download().replacePicture(QStringLiteral("picture"));
    QCOMPARE(fileContents(path("vornad.gif")), gifOfSize(minPictureBytes));
    QVERIFY(!QFile::exists(path("vornad1.gif")));

    download().replacePicture(QStringLiteral("missing"));
    QCOMPARE(fileContents(path("vornad.gif")), gifOfSize(minPictureBytes));
}

QTEST_GUILESS_MAIN(TestNetInfoDownload)
#include "tst_netinfodownload.moc"
