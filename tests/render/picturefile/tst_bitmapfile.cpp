#include "document/colour.h"
#include "render/picturefile/bitmapfile.h"
#include "support/files.h"
#include "support/pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Vorlane;

class TestBitmapFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suggestedNameReplacesTheExtension_data();
    void suggestedNameReplacesTheExtension();
    void writesA24BitBitmapThatReadsBack();
    void failedWriteLeavesNoFile();
    void workingBitmapReplacesALinkPlantedInItsPlace();
};

void TestBitmapFile::suggestedNameReplacesTheExtension_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("picture");
    QTest::newRow("untitled") << "Untitled.vrf" << "Untitled.bmp";
    QTest::newRow("full path") << "C:\\pics\\tree.vrf" << "C:\\pics\\tree.bmp";
    QTest::newRow("other extension") << "/home/fern.dat" << "/home/fern.bmp";
    QTest::newRow("unnamed start-up document") << "" << "";
    QTest::newRow("shorter than an extension") << "ab" << "ab.bmp";
    QTest::newRow("just an extension long") << "vrf" << "bmp";
}

void TestBitmapFile::suggestedNameReplacesTheExtension()
{
    QFETCH(QString, document);
    QFETCH(QString, picture);
    QCOMPARE(suggestedBitmapName(document), picture);
}

void TestBitmapFile::writesA24BitBitmapThatReadsBack()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.bmp"));
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(qRgb(254, 253, 245));
    image.setPixel(3, 2, qRgb(100, 50, 10));
    writeFile(path, QByteArray(100000, 'x'));

    QVERIFY(writePictureFile(image, path));
    const QByteArray bytes = fileContents(path);
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24));
    QCOMPARE(readBitmap(path), image);
}

void TestBitmapFile::failedWriteLeavesNoFile()
{
    // A path below a regular file cannot be written, whoever runs the test.
    QTemporaryDir folder;
    const QString plain = folder.filePath(QStringLiteral("plain"));
    writeFile(plain, QByteArray());
    const QString path = plain + QLatin1String("/picture.bmp");

    QString error;
    QVERIFY(!writePictureFile(QImage(4, 4, QImage::Format_RGB32), path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});
}

void TestBitmapFile::workingBitmapReplacesALinkPlantedInItsPlace()
{
    QTemporaryDir folder;
    const QString victim = folder.filePath(QStringLiteral("victim"));
    writeFile(victim, "precious");
    HandOverBitmap working(folder.filePath(QStringLiteral("TEMP.BMP")));
    QVERIFY(QFile::link(victim, working.path()));

    const QImage picture = filledImage(QSize(4, 4), rgbColour(1, 2, 3));
    working.store(picture);
    QCOMPARE(fileContents(victim), QByteArray("precious"));
    QVERIFY(!QFileInfo(working.path()).isSymLink());
    QCOMPARE(readBitmap(working.path()), picture);
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
