#include "online/netinfodownload.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>

using namespace Vorlane;

class TestShippedFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void advertisementIsAnAnimatedGifWorthKeeping();
    void helpPagesLinkOnlyToFilesThatExist_data();
    void helpPagesLinkOnlyToFilesThatExist();
};

void TestShippedFiles::advertisementIsAnAnimatedGifWorthKeeping()
{
    const QString path = QFINDTESTDATA("../../data/vornad.dat");
    QVERIFY(!path.isEmpty());
    QVERIFY(isUsablePicture(path));
    QImageReader reader(path, "gif");
    QVERIFY(reader.supportsAnimation());
    QVERIFY(reader.imageCount() > 1);
}

void TestShippedFiles::helpPagesLinkOnlyToFilesThatExist_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("VR2_Help") << QStringLiteral("VR2_Help.html");
    QTest::newRow("trans_edit") << QStringLiteral("trans_edit.html");
}

void TestShippedFiles::helpPagesLinkOnlyToFilesThatExist()
{
    QFETCH(QString, page);
    const QString path = QFINDTESTDATA(QStringLiteral("../../data/help/") + page);
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const QDir folder = QFileInfo(path).dir();
    static const QRegularExpression reference(QStringLiteral(R"((?:src|href)="([^"#:]+)(?:#[^"]*)?")"));
    int references = 0;
    for (const QRegularExpressionMatch &match : reference.globalMatch(html)) {
        QVERIFY2(folder.exists(match.captured(1)), qPrintable(match.captured(1)));
        ++references;
    }
    QVERIFY(references > 2);
}

QTEST_GUILESS_MAIN(TestShippedFiles)
#include "tst_shippedfiles.moc"
