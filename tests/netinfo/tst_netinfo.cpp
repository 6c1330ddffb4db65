#include "netinfo/netinfo.h"

#include <QTest>
#include <QUrl>

using namespace Vorlane;

namespace {

// A net-info file written by hand: the version, then the six length fields
// as given, then the strings.
QByteArray fileWith(qint16 version, const QList<QByteArray> &lengths, const QByteArray &strings)
{
    QByteArray bytes;
    bytes.append(char(version & 0xff)).append(char((version >> 8) & 0xff));
    for (const QByteArray &length : lengths)
        bytes += length;
    return bytes + strings;
}

NetInfo someAddresses()
{
    NetInfo info;
    setDefaultAddresses(info);
    info.netVersion = 12;
    return info;
}

} // namespace

class TestNetInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheSixAddressesInOrder();
    void lengthFields_data();
    void lengthFields();
    void incompleteFileChangesNothing_data();
    void incompleteFileChangesNothing();
    void shippedFileHoldsOurAddresses();
    void everyBuiltInAddressIsOurs();
    void downloadedFileValidity_data();
    void downloadedFileValidity();
    void openableAddresses_data();
    void openableAddresses();
    void mailLinks_data();
    void mailLinks();
};

void TestNetInfo::readsTheSixAddressesInOrder()
{
    NetInfo info = someAddresses();
    const QByteArray file = fileWith(456, {"02", "03", "04", "05", "06", "07"},
                                     "ab" "ccc" "dddd" "eeeee" "ffffff" "ggggggg" "trailing bytes");
    QVERIFY(readNetInfo(file, info));
    QCOMPARE(info.netVersion, qint16(456));
    QCOMPARE(info.authorPage, QStringLiteral("ab"));
    QCOMPARE(info.siteAddr, QStringLiteral("ccc"));
    QCOMPARE(info.galleryAddr, QStringLiteral("dddd"));
    QCOMPARE(info.authorMail, QStringLiteral("eeeee"));
    QCOMPARE(info.adAddr, QStringLiteral("ffffff"));
    QCOMPARE(info.extraAddr, QStringLiteral("ggggggg"));
}

void TestNetInfo::lengthFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("length");
    QTest::newRow("leading zero") << QByteArray("07") << 7;
    QTest::newRow("leading blank") << QByteArray(" 7") << 7;
    QTest::newRow("trailing blank") << QByteArray("7 ") << 7;
    QTest::newRow("two digits") << QByteArray("42") << 42;
    QTest::newRow("not a number") << QByteArray("ab") << 0;
    QTest::newRow("negative") << QByteArray("-3") << 0;
    QTest::newRow("digit then letters") << QByteArray("4x") << 4;
    QTest::newRow("zero bytes") << QByteArray("\0\0", 2) << 0;
}

void TestNetInfo::lengthFields()
{
    QFETCH(QByteArray, field);
    QFETCH(int, length);
    NetInfo info = someAddresses();
    QVERIFY(readNetInfo(fileWith(456, {field, "00", "00", "00", "00", "01"}, QByteArray(length, 'x') + "y"), info));
    QCOMPARE(info.authorPage, QString(length, QLatin1Char('x')));
    QCOMPARE(info.extraAddr, QStringLiteral("y"));
}

void TestNetInfo::incompleteFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("13-byte header") << fileWith(456, {"00", "00", "00", "00", "00", "0"}, "");
    QTest::newRow("first string one short") << fileWith(456, {"05", "00", "00", "00", "00", "00"}, "abcd");
    QTest::newRow("last string one short") << fileWith(456, {"01", "01", "01", "01", "01", "03"}, "abcdefg");
}

void TestNetInfo::incompleteFileChangesNothing()
{
    QFETCH(QByteArray, file);
    NetInfo info = someAddresses();
    QVERIFY(!readNetInfo(file, info));
    QCOMPARE(info, someAddresses());
}

void TestNetInfo::shippedFileHoldsOurAddresses()
{
    const QString path = QFINDTESTDATA("../../data/vornet.dat");
    QVERIFY(!path.isEmpty());
    NetInfo read;
    QVERIFY(readNetInfoFile(path, read));
    QCOMPARE(read, shippedNetInfo());
    QCOMPARE(read.netVersion, validNetVersion);
}

void TestNetInfo::everyBuiltInAddressIsOurs()
{
    const NetInfo shipped = shippedNetInfo();
    QStringList addresses = defaultMirrors();
    addresses << shipped.authorPage << shipped.siteAddr << shipped.galleryAddr << shipped.adAddr;
    QCOMPARE(defaultMirrors().size(), 6);
    for (const QString &address : std::as_const(addresses)) {
        QVERIFY2(QUrl(address).host().endsWith(QLatin1String("vorlane.example")), qPrintable(address));
        QVERIFY2(isOpenableAddress(address), qPrintable(address));
    }
    for (const QString &mirror : defaultMirrors())
        QVERIFY(mirror.endsWith(QLatin1String("/vornet.txt")));
    QVERIFY(shipped.authorMail.endsWith(QLatin1String("@vorlane.example")));
    QCOMPARE(authorName(), QStringLiteral("The Vorlane team"));
}

void TestNetInfo::downloadedFileValidity_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("valid");
    QTest::newRow("4 bytes starting with 456") << QByteArray("\xc8\x01" "07", 4) << false;
    QTest::newRow("5 bytes starting with 456") << QByteArray("\xc8\x01" "070", 5) << false;
    QTest::newRow("header only, strings missing") << QByteArray("\xc8\x01" "050505050505", 14) << false;
    QTest::newRow("last string cut short") << netInfoFileBytes(shippedNetInfo()).chopped(1) << false;
    QTest::newRow("version 455") << QByteArray("\xc7\x01" "0700", 6) << false;
    QTest::newRow("web error page") << QByteArray("<html><body>404 Not Found</body></html>") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("shipped") << netInfoFileBytes(shippedNetInfo()) << true;
}

void TestNetInfo::downloadedFileValidity()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, valid);
    QCOMPARE(isValidNetInfoFile(file), valid);
}

void TestNetInfo::openableAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("openable");
    QTest::newRow("https") << QStringLiteral("https://www.vorlane.example/gallery/") << true;
    QTest::newRow("http, upper case scheme") << QStringLiteral("HTTP://www.vorlane.example") << true;
    QTest::newRow("mailto") << QStringLiteral("mailto:team@vorlane.example") << true;
    QTest::newRow("local program") << QStringLiteral("/usr/bin/xterm") << false;
    QTest::newRow("windows program") << QStringLiteral("C:\\Windows\\system32\\cmd.exe") << false;
    QTest::newRow("file address") << QStringLiteral("file:///etc/passwd") << false;
    QTest::newRow("other scheme") << QStringLiteral("javascript:alert(1)") << false;
    QTest::newRow("no host") << QStringLiteral("http://") << false;
    QTest::newRow("placeholder") << QStringLiteral("xxx") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("mailto without address") << QStringLiteral("mailto:") << false;
    QTest::newRow("mailto with a line feed") << QStringLiteral("mailto:a@b\nc") << false;
    QTest::newRow("mailto attaching a file") << QStringLiteral("mailto:a@b?attach=/root/.ssh/id_rsa") << false;
    QTest::newRow("mailto with a fragment") << QStringLiteral("mailto:a@b#x") << false;
    QTest::newRow("mailto with a blank") << QStringLiteral("mailto:a@b c") << false;
    QTest::newRow("mailto with another parameter") << QStringLiteral("mailto:a@b&body=x") << false;
}

void TestNetInfo::openableAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, openable);
    QCOMPARE(isOpenableAddress(address), openable);
}

void TestNetInfo::mailLinks_data()
{
    QTest::addColumn<QString>("authorMail");
    QTest::addColumn<QString>("link");
    QTest::newRow("plain") << QStringLiteral("team@vorlane.example")
                           << QStringLiteral("mailto:team@vorlane.example?subject=Mail from VR 2.0 user");
    QTest::newRow("adds a header") << QStringLiteral("team@vorlane.example?attach=/etc/passwd") << QString();
    QTest::newRow("adds a parameter") << QStringLiteral("a@b&body=x") << QString();
    QTest::newRow("blank") << QStringLiteral("a b@vorlane.example") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestNetInfo::mailLinks()
{
    QFETCH(QString, authorMail);
    QFETCH(QString, link);
    QCOMPARE(mailLink(authorMail), link);
    QCOMPARE(isMailLink(link), !link.isEmpty());
}

QTEST_GUILESS_MAIN(TestNetInfo)
#include "tst_netinfo.moc"
