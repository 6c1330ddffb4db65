#include "document/colour.h"
#include "document/documentfile.h"
#include "support/files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Vorlane;

namespace {

FractalDocument startup()
{
    return startupDocument(0.25f, 0.5f, rgbColour(254, 253, 245));
}

QByteArray floatBytes(float value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

template<typename T>
void poke(QByteArray &bytes, int offset, T value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startupDocumentBytes();
    void roundTripKeepsEveryStoredValue();
    void signatureBounds_data();
    void signatureBounds();
    void brokenFilesAreRefused_data();
    void brokenFilesAreRefused();
    void trailingBytesAreIgnored();
    void savingReplacesALongerFileWhole();
    void failedSaveKeepsTheOldFile();
    void hugeAndEndlessFilesCostNoMoreThanADocument_data();
    void hugeAndEndlessFilesCostNoMoreThanADocument();
};

void TestDocumentFile::startupDocumentBytes()
{
    const QByteArray bytes = encodeDocument(startup());
    QCOMPARE(bytes.size(), 8124);
    QCOMPARE(bytes.left(18).toHex(' '), QByteArray("ac c5 27 3c 03 00 00 00 c8 af 00 00 00 00 d0 07 14 00"));
    QCOMPARE(bytes.mid(40, 8), QByteArray("Tr 1    "));
    QCOMPARE(bytes.right(4).toHex(' '), QByteArray("00 00 d0 07"));
}

void TestDocumentFile::roundTripKeepsEveryStoredValue()
{
    FractalDocument document = startup();
    document.transformations[1].name = QStringLiteral("ab");
    document.transformations[2].name = QStringLiteral("Zweig\u00e9\u20ac"); // é is Latin-1, € is not
    document.transformations[0].translation = {-1.5e-3f, 3.25e7f};
    document.basePoints.append({-32768, 32767});
    document.colours = {7, qint32(0x80000001), -1, 42};
    document.centreX = -5;

    FractalDocument other = startupDocument(9.0f, 8.0f, 0);
    other.transformations.clear();
    const std::optional<FractalDocument> read = decodeDocument(encodeDocument(document), other);
    QVERIFY(read);
    QCOMPARE(read->transformations[1].name, QStringLiteral("ab      "));
    QCOMPARE(read->transformations[2].name, QStringLiteral("Zweig\u00e9? "));
    QCOMPARE(read->settings.scaleX, 9.0f); // the scales are not stored
    QCOMPARE(read->settings.scaleY, 8.0f);
    FractalDocument expected = document;
    expected.transformations[1].name = QStringLiteral("ab      ");
    expected.transformations[2].name = QStringLiteral("Zweig\u00e9? ");
    expected.settings.scaleX = 9.0f;
    expected.settings.scaleY = 8.0f;
    QCOMPARE(*read, expected);
}

void TestDocumentFile::signatureBounds_data()
{
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("writer's") << floatBytes(0.01024f) << true;
    QTest::newRow("0.01023") << floatBytes(0.01023f) << true;
    QTest::newRow("0.01025") << floatBytes(0.01025f) << false;
    QTest::newRow("lowest accepted") << QByteArray::fromHex("bb9b273c") << true;
    QTest::newRow("below lowest") << QByteArray::fromHex("ba9b273c") << false;
    QTest::newRow("highest accepted") << QByteArray::fromHex("9def273c") << true;
    QTest::newRow("above highest") << QByteArray::fromHex("9eef273c") << false;
    QTest::newRow("nan") << QByteArray::fromHex("0000c07f") << false;
    QTest::newRow("too short") << QByteArray::fromHex("acc527") << false;
}

void TestDocumentFile::signatureBounds()
{
    QFETCH(QByteArray, signature);
    QFETCH(bool, accepted);
    QCOMPARE(hasDocumentSignature(signature), accepted);
    QByteArray bytes = encodeDocument(startup());
    bytes.replace(0, 4, signature.leftJustified(4, '\0', true));
    if (signature.size() == 4)
        QCOMPARE(decodeDocument(bytes, FractalDocument()).has_value(), accepted);
}

void TestDocumentFile::brokenFilesAreRefused_data()
{
    const QByteArray whole = encodeDocument(startup());
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("signature only") << whole.left(4);
    QTest::newRow("header cut") << whole.left(39);
    QTest::newRow("records cut") << whole.left(whole.size() - 1);
    QByteArray negative = whole;
    poke<qint32>(negative, 4, -1);
    QTest::newRow("negative trCount") << negative;
    QByteArray negativePoints = whole;
    poke<qint32>(negativePoints, 34, -2000);
    QTest::newRow("negative basePointCount") << negativePoints;
    QByteArray tooManyMaps = whole + QByteArray(48 * 28, '\0');
    poke<qint32>(tooManyMaps, 4, 51);
    QTest::newRow("51 transformations") << tooManyMaps;
    QByteArray tooManyPoints = whole + QByteArray(4 * 32768, '\0');
    poke<qint32>(tooManyPoints, 34, 32768);
    QTest::newRow("32768 base points") << tooManyPoints;
    QByteArray huge = whole;
    poke<qint32>(huge, 34, 0x7fffffff);
    QTest::newRow("huge count") << huge;
}

void TestDocumentFile::brokenFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!decodeDocument(bytes, startup()).has_value());
}

void TestDocumentFile::trailingBytesAreIgnored()
{
    const std::optional<FractalDocument> read = decodeDocument(encodeDocument(startup()) + "stale bytes", startup());
    QVERIFY(read);
    QCOMPARE(*read, startup());
}

void TestDocumentFile::savingReplacesALongerFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tree.vrf"));
    QVERIFY(saveDocumentFile(startup(), path));
    FractalDocument small = startup();
    makeEmptyDocument(small);
    QVERIFY(saveDocumentFile(small, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), qint64(40 + 4));
    file.close();
    QCOMPARE(*loadDocumentFile(path, startup()), small);
    QVERIFY(!loadDocumentFile(dir.filePath(QStringLiteral("missing.vrf")), startup()).has_value());
}

void TestDocumentFile::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!saveDocumentFile(startup(), dir.filePath(QStringLiteral("no/such/folder.vrf")), &error));
    QVERIFY(!error.isEmpty());
}

void TestDocumentFile::hugeAndEndlessFilesCostNoMoreThanADocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("FIFO without a writer") << "fifo" << false;
    QTest::newRow("endless device") << "/dev/zero" << false;
    QTest::newRow("1 TB of nothing") << "sparse" << false;
    QTest::newRow("a document, then 1 TB of nothing") << "sparse" << true;
}

void TestDocumentFile::hugeAndEndlessFilesCostNoMoreThanADocument()
{
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString path =
        readerInput(dir.path(), QStringLiteral("tree.vrf"), kind, accepted ? encodeDocument(startup()) : QByteArray());
    if (path.isEmpty())
        QSKIP("this file system holds no such file");
    const std::optional<QByteArray> bytes = readDocumentBytes(path);
    QVERIFY(!bytes || bytes->size() == longestDocumentFile + 1);
    const std::optional<FractalDocument> read = loadDocumentFile(path, startup());
    QCOMPARE(read.has_value(), accepted);
    if (accepted)
        QCOMPARE(*read, startup());
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
