#include "surroundings/datafolder.h"
#include "support/files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Vorlane;

namespace {

// A program laid out as the build tree lays it, or as the install rules do,
// below one temporary folder, with a user's data folder beside it.
class Layout
{
public:
    Layout()
        : programFolder(m_root.filePath(QStringLiteral("bin")))
        , installedData(QDir::cleanPath(installedDataFolder(programFolder)))
        , userFolder(m_root.filePath(QStringLiteral("home/data/vorlane")))
    {
        QDir().mkpath(programFolder);
        writeFile(programFolder + QLatin1String("/vorlane"), "program");
    }

    const QTemporaryDir m_root;
    const QString programFolder;
    const QString installedData;
    const QString userFolder;
};

// Writes the shipped data files into folder.
void layDataFiles(const QString &folder)
{
    for (const char *name : {"vornet.dat", "vornad.dat", "help/VR2_Help.html", "help/images/rotation.png",
                             "Fractals/Fern.vrf", "Fractals/Tree.vrf"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeFile(path, QByteArray("shipped ") + name);
    }
}

// Every file below folder, relative to it, sorted.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator below(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (below.hasNext())
        files.append(QDir(folder).relativeFilePath(below.next()));
    files.sort();
    return files;
}

const QStringList shippedFiles{QStringLiteral("Fractals/Fern.vrf"),      QStringLiteral("Fractals/Tree.vrf"),
                               QStringLiteral("help/VR2_Help.html"),     QStringLiteral("help/images/rotation.png"),
                               QStringLiteral("vornad.dat"),             QStringLiteral("vornet.dat")};

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildTreeWorksInItsOwnFolder();
    void installedCopyWorksInTheUsersFolder();
    void copyWithoutDataFilesWorksInItsOwnFolder();
    void installedCopyWithoutAUserFolderStaysInItsOwn();
    void unwritableFolderWithDataFilesIsInstalled();
    void copiesEveryMissingDataFileAndNothingElse();
    void neverReplacesTheUsersFiles();
    void runningPictureCountsAsTheAdvertisement();
    void copiesAreWritableForTheirOwner();
    void fileThatCannotBeCopiedDoesNotStopTheOthers();
    void copyThatDoesNotFitIsNotMade();
    void preparedInstallFillsTheUsersFolder();
    void preparedBuildTreeTouchesNoUserFolder();
};

void TestDataFolder::buildTreeWorksInItsOwnFolder()
{
    Layout layout;
    layDataFiles(layout.programFolder);
    // The build tree wins over an installation that happens to lie beside it.
    layDataFiles(layout.installedData);
    const DataFolders folders = dataFoldersFor(layout.programFolder, layout.userFolder);
    QCOMPARE(folders.shipped, layout.programFolder);
    QCOMPARE(folders.working, layout.programFolder);
}

void TestDataFolder::installedCopyWorksInTheUsersFolder()
{
    Layout layout;
    layDataFiles(layout.installedData);
    // Root may write the program's folder; the layout decides all the same.
    QVERIFY(QFileInfo(layout.programFolder).isWritable());
    const DataFolders folders = dataFoldersFor(layout.programFolder, layout.userFolder);
    QCOMPARE(folders.shipped, layout.installedData);
    QCOMPARE(folders.working, layout.userFolder);
}

void TestDataFolder::copyWithoutDataFilesWorksInItsOwnFolder()
{
    Layout layout;
    const DataFolders folders = dataFoldersFor(layout.programFolder, layout.userFolder);
    QVERIFY(folders.shipped.isEmpty());
    QCOMPARE(folders.working, layout.programFolder);
}

void TestDataFolder::installedCopyWithoutAUserFolderStaysInItsOwn()
{
    Layout layout;
    layDataFiles(layout.installedData);
    QCOMPARE(dataFoldersFor(layout.programFolder, QString()).working, layout.programFolder);
}

void TestDataFolder::unwritableFolderWithDataFilesIsInstalled()
{
    Layout layout;
    layDataFiles(layout.programFolder);
    QFile folder(layout.programFolder);
    const QFile::Permissions writable = folder.permissions();
    QVERIFY(folder.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    const bool stillWritable = QFileInfo(layout.programFolder).isWritable();
    const DataFolders folders = dataFoldersFor(layout.programFolder, layout.userFolder);
    folder.setPermissions(writable);
    if (stillWritable)
        QSKIP("this user may write any folder");
    QCOMPARE(folders.shipped, layout.programFolder);
    QCOMPARE(folders.working, layout.userFolder);
}

void TestDataFolder::copiesEveryMissingDataFileAndNothingElse()
{
    Layout layout;
    layDataFiles(layout.programFolder);
    writeFile(layout.programFolder + QLatin1String("/TEMP.BMP"), "BM");
    writeFile(layout.programFolder + QLatin1String("/CMakeCache.txt"), "build");
    QVERIFY(copyMissingDataFiles(layout.programFolder, layout.userFolder));
    QCOMPARE(filesBelow(layout.userFolder), shippedFiles);
    for (const QString &file : shippedFiles)
        QCOMPARE(fileContents(layout.userFolder + QLatin1Char('/') + file), QByteArray("shipped ") + file.toLatin1());
}

void TestDataFolder::neverReplacesTheUsersFiles()
{
    Layout layout;
    layDataFiles(layout.installedData);
    QVERIFY(copyMissingDataFiles(layout.installedData, layout.userFolder));
    const QString netInfo = layout.userFolder + QLatin1String("/vornet.dat");
    const QString fern = layout.userFolder + QLatin1String("/Fractals/Fern.vrf");
    const QString helpPage = layout.userFolder + QLatin1String("/help/VR2_Help.html");
    writeFile(netInfo, "updated");
    writeFile(fern, "edited");
    QVERIFY(QFile::remove(helpPage));

    QVERIFY(copyMissingDataFiles(layout.installedData, layout.userFolder));
    QCOMPARE(fileContents(netInfo), QByteArray("updated"));
    QCOMPARE(fileContents(fern), QByteArray("edited"));
    QCOMPARE(fileContents(helpPage), QByteArray("shipped help/VR2_Help.html"));
}

void TestDataFolder::runningPictureCountsAsTheAdvertisement()
{
    Layout layout;
    layDataFiles(layout.installedData);
    QVERIFY(QDir().mkpath(layout.userFolder));
    writeFile(layout.userFolder + QLatin1String("/vornad.gif"), "fetched by an update");
    QVERIFY(copyMissingDataFiles(layout.installedData, layout.userFolder));
    QVERIFY(!QFile::exists(layout.userFolder + QLatin1String("/vornad.dat")));
    QCOMPARE(fileContents(layout.userFolder + QLatin1String("/vornad.gif")), QByteArray("fetched by an update"));
}

void TestDataFolder::copiesAreWritableForTheirOwner()
{
    Layout layout;
    layDataFiles(layout.installedData);
    const QString shippedNetInfo = layout.installedData + QLatin1String("/vornet.dat");
    QVERIFY(QFile::setPermissions(shippedNetInfo, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(copyMissingDataFiles(layout.installedData, layout.userFolder));
    QVERIFY(QFile::permissions(layout.userFolder + QLatin1String("/vornet.dat")) & QFile::WriteOwner);
}

void TestDataFolder::fileThatCannotBeCopiedDoesNotStopTheOthers()
{
    Layout layout;
    layDataFiles(layout.installedData);
    QVERIFY(QDir().mkpath(layout.userFolder));
    // A file where the help folder should be.
    writeFile(layout.userFolder + QLatin1String("/help"), "in the way");
    QVERIFY(!copyMissingDataFiles(layout.installedData, layout.userFolder));
    QVERIFY(QFile::exists(layout.userFolder + QLatin1String("/vornet.dat")));
    QVERIFY(QFile::exists(layout.userFolder + QLatin1String("/Fractals/Tree.vrf")));
}

void TestDataFolder::copyThatDoesNotFitIsNotMade()
{
    // A torn copy would count as present and never be copied again.
    Layout layout;
    layDataFiles(layout.installedData);
    writeFile(layout.installedData + QLatin1String("/vornad.dat"), QByteArray(8000, 'g'));
    bool copied = true;
    {
        const FileSizeLimit fullDisk(4096);
        copied = copyMissingDataFiles(layout.installedData, layout.userFolder);
    }
    QVERIFY(!copied);
    QVERIFY(!QFile::exists(layout.userFolder + QLatin1String("/vornad.dat")));
    QCOMPARE(filesBelow(layout.userFolder).size(), shippedFiles.size() - 1);
}

void TestDataFolder::preparedInstallFillsTheUsersFolder()
{
    Layout layout;
    layDataFiles(layout.installedData);
    QCOMPARE(prepareDataFolder(layout.programFolder, layout.userFolder), layout.userFolder);
    QCOMPARE(filesBelow(layout.userFolder), shippedFiles);
    // Nothing was written into the installation.
    QCOMPARE(filesBelow(layout.installedData), shippedFiles);
    QCOMPARE(filesBelow(layout.programFolder), QStringList{QStringLiteral("vorlane")});
}

void TestDataFolder::preparedBuildTreeTouchesNoUserFolder()
{
    Layout layout;
    layDataFiles(layout.programFolder);
    QCOMPARE(prepareDataFolder(layout.programFolder, layout.userFolder), layout.programFolder);
    QVERIFY(!QFileInfo::exists(layout.userFolder));
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
