#include "common/filestore.h"
#include "surroundings/programfiles.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

// A temporary program folder.
class TestFolder
{
public:
    QString appDir() const { return appDirFor(m_dir.path()); }
    QString filePath(const QString &name) const { return appDir() + name; }

private:
    QTemporaryDir m_dir;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void documentPathArgument_data();
    void documentPathArgument();
    void appDirEndsInASeparator();
    void advertisementFileIsRenamedBothWays();
    void advertisementRenameLeavesATakenName();
    void handOverBitmapsAreRemoved();
};

void TestProgramFiles::documentPathArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("path");
    const QString program = QStringLiteral("vorlane");
    QTest::newRow("none") << QStringList{program} << QString();
    QTest::newRow("quoted") << QStringList{program, QStringLiteral("\"/home/a b/tree.vrf\"")}
                            << QStringLiteral("/home/a b/tree.vrf");
    QTest::newRow("unquoted") << QStringList{program, QStringLiteral("/home/ab/tree.vrf")}
                              << QStringLiteral("/home/ab/tree.vrf");
    QTest::newRow("only the first argument") << QStringList{program, QStringLiteral("a.vrf"), QStringLiteral("b.vrf")}
                                             << QStringLiteral("a.vrf");
    QTest::newRow("opening quote only") << QStringList{program, QStringLiteral("\"a.vrf")} << QStringLiteral("\"a.vrf");
    QTest::newRow("one quote") << QStringList{program, QStringLiteral("\"")} << QStringLiteral("\"");
    QTest::newRow("empty quotes") << QStringList{program, QStringLiteral("\"\"")} << QString();
    QTest::newRow("one pair only") << QStringList{program, QStringLiteral("\"\"a.vrf\"\"")}
                                   << QStringLiteral("\"a.vrf\"");
}

void TestProgramFiles::documentPathArgument()
{
    QFETCH(QStringList, arguments);
    QTEST(Vorlane::documentPathArgument(arguments), "path");
}

void TestProgramFiles::appDirEndsInASeparator()
{
    QCOMPARE(appDirFor(QStringLiteral("/opt/vorlane")), QStringLiteral("/opt/vorlane/"));
    // A root folder already ends in one.
    QCOMPARE(appDirFor(QStringLiteral("/")), QStringLiteral("//"));
}

void TestProgramFiles::advertisementFileIsRenamedBothWays()
{
    TestFolder folder;
    writeFile(folder.filePath(QStringLiteral("vornad.dat")), "GIF89a");
    showAdvertisementFile(folder.appDir());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("vornad.dat"))));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("vornad.gif"))));
    hideAdvertisementFile(folder.appDir());
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("vornad.dat"))));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("vornad.gif"))));
    // Missing files are no error.
    TestFolder empty;
    showAdvertisementFile(empty.appDir());
    hideAdvertisementFile(empty.appDir());
    QVERIFY(QDir(empty.appDir()).isEmpty());
}

void TestProgramFiles::advertisementRenameLeavesATakenName()
{
    TestFolder folder;
    writeFile(folder.filePath(QStringLiteral("vornad.dat")), "old");
    writeFile(folder.filePath(QStringLiteral("vornad.gif")), "new");
    showAdvertisementFile(folder.appDir());
    QFile gif(folder.filePath(QStringLiteral("vornad.gif")));
    QVERIFY(gif.open(QIODevice::ReadOnly));
    QCOMPARE(gif.readAll(), QByteArray("new"));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("vornad.dat"))));
}

void TestProgramFiles::handOverBitmapsAreRemoved()
{
    // Only what this instance wrote goes; a file another instance has
    // replaced since, and anything else in the folder, stay.
    TestFolder folder;
    OwnedFiles own;
    for (const QLatin1String name : {blankBitmapName, tempBitmapName, testBitmapName}) {
        QVERIFY(replaceFile(folder.filePath(name), "BM"));
        own.recordWritten(folder.filePath(name));
    }
    writeFile(folder.filePath(QStringLiteral("keep.bmp")), "BM");
    QVERIFY(replaceFile(folder.filePath(tempBitmapName), "BM from another instance"));
    own.removeUnchanged();
    QCOMPARE(QDir(folder.appDir()).entryList(QDir::Files), (QStringList{QStringLiteral("keep.bmp"), QStringLiteral("TEMP.BMP")}));
    QCOMPARE(readRegularFile(folder.filePath(tempBitmapName), 100).value_or(QByteArray()), QByteArray("BM from another instance"));
    own.removeUnchanged();
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
