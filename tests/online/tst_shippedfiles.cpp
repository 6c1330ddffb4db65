#include "netinfo/netinfodownload.h"
#include "support/files.h"

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
    void helpPagesLinkOnlyToPlacesThatExist_data();
    void helpPagesLinkOnlyToPlacesThatExist();
    void helpPicturesAreShownAtTheirOwnSize_data();
    void helpPicturesAreShownAtTheirOwnSize();
};

namespace {

QString helpPagePath(const QString &page)
{
    return QFINDTESTDATA(QStringLiteral("../../data/help/") + page);
}

QString helpPage(const QString &page)
{
    QFile file(helpPagePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void addHelpPageRows()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("VR2_Help") << QStringLiteral("VR2_Help.html");
    QTest::newRow("trans_edit") << QStringLiteral("trans_edit.html");
}

} // namespace

void TestShippedFiles::advertisementIsAnAnimatedGifWorthKeeping()
{
    const QString path = QFINDTESTDATA("../../data/vornad.dat");
    QVERIFY(!path.isEmpty());
    QVERIFY(isUsablePicture(fileContents(path)));
    QImageReader reader(path, "gif");
    QVERIFY(reader.supportsAnimation());
    QVERIFY(reader.imageCount() > 1);
}

void TestShippedFiles::helpPagesLinkOnlyToFilesThatExist_data()
{
    addHelpPageRows();
}

void TestShippedFiles::helpPagesLinkOnlyToFilesThatExist()
{
    QFETCH(QString, page);
    const QString html = helpPage(page);
    QVERIFY(!html.isEmpty());
    const QDir folder = QFileInfo(helpPagePath(page)).dir();
    static const QRegularExpression reference(QStringLiteral(R"((?:src|href)="([^"#:]+)(?:#[^"]*)?")"));
    int references = 0;
    for (const QRegularExpressionMatch &match : reference.globalMatch(html)) {
        QVERIFY2(folder.exists(match.captured(1)), qPrintable(match.captured(1)));
        ++references;
    }
    QVERIFY(references > 2);
}

void TestShippedFiles::helpPagesLinkOnlyToPlacesThatExist_data()
{
    addHelpPageRows();
}

void TestShippedFiles::helpPagesLinkOnlyToPlacesThatExist()
{
    QFETCH(QString, page);
    const QString html = helpPage(page);
    QVERIFY(!html.isEmpty());
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]*)#([^\"]+)\""));
    for (const QRegularExpressionMatch &match : link.globalMatch(html)) {
        const QString target = match.captured(1).isEmpty() ? html : helpPage(match.captured(1));
        const QString place = QStringLiteral("id=\"%1\"").arg(match.captured(2));
        QVERIFY2(target.contains(place), qPrintable(match.captured(0)));
    }
}

void TestShippedFiles::helpPicturesAreShownAtTheirOwnSize_data()
{
    addHelpPageRows();
}

// A picture scaled by the browser blurs the single pixels a fractal is made of.
void TestShippedFiles::helpPicturesAreShownAtTheirOwnSize()
{
    QFETCH(QString, page);
    const QString html = helpPage(page);
    QVERIFY(!html.isEmpty());
    const QDir folder = QFileInfo(helpPagePath(page)).dir();
    static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\" width=\"(\\d+)\" height=\"(\\d+)\""));
    int pictures = 0;
    for (const QRegularExpressionMatch &match : picture.globalMatch(html)) {
        const QSize shown(match.captured(2).toInt(), match.captured(3).toInt());
        QCOMPARE(QImageReader(folder.filePath(match.captured(1))).size(), shown);
        ++pictures;
    }
    QCOMPARE(pictures, int(html.count(QStringLiteral("<img "))));
}

QTEST_GUILESS_MAIN(TestShippedFiles)
#include "tst_shippedfiles.moc"
