#include "surroundings/datafolder.h"

#include "common/filestore.h"
#include "surroundings/programfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace Vorlane {

namespace {

// Where the install rules lay the data files, relative to the program's folder.
const QLatin1String installedDataPath(VORLANE_INSTALLED_DATA);

// What the build and the install rules lay down for the program to find.
const QLatin1String dataEntries[] = {QLatin1String("help"), QLatin1String("Fractals"), QLatin1String("vornet.dat"),
                                     advertisementHiddenName};

bool holdsDataFiles(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists(QLatin1String("vornet.dat")) || QFileInfo(dir.filePath(QLatin1String("help"))).isDir();
}

bool mayWrite(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

// The data files below folder, relative to it.
QStringList dataFiles(const QDir &folder)
{
    QStringList files;
    for (const QLatin1String entry : dataEntries) {
        const QFileInfo info(folder.filePath(entry));
        if (info.isFile())
            files.append(entry);
        if (!info.isDir())
            continue;
        QDirIterator below(info.filePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (below.hasNext())
            files.append(folder.relativeFilePath(below.next()));
    }
    return files;
}

bool isPresent(const QDir &folder, const QString &file)
{
    // While a program runs, or after one ended abnormally, the advertisement
    // picture has its running name and may be newer than the shipped one.
    if (file == advertisementHiddenName && folder.exists(advertisementShownName))
        return true;
    return QFileInfo::exists(folder.filePath(file));
}

// Far above the largest file the program ships.
constexpr qint64 largestDataFile = 64 * 1024 * 1024;

// Installed files may be read-only; the user's copies must not be, since an
// update replaces them. A copy that cannot be written whole is not made.
bool copyWritable(const QString &from, const QString &to)
{
    const std::optional<QByteArray> bytes = readRegularFile(from, largestDataFile + 1);
    if (!bytes || bytes->size() > largestDataFile || !QDir().mkpath(QFileInfo(to).path()) || !replaceFile(to, *bytes))
        return false;
    QFile copy(to);
    return copy.setPermissions(copy.permissions() | QFileDevice::WriteOwner);
}

} // namespace

QString installedDataFolder(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QLatin1Char('/') + installedDataPath);
}

DataFolders dataFoldersFor(const QString &programFolder, const QString &userFolder)
{
    const QString installedData = installedDataFolder(programFolder);
    const bool ownData = holdsDataFiles(programFolder);
    const QString shipped = ownData ? programFolder : holdsDataFiles(installedData) ? installedData : QString();
    const bool installed = !mayWrite(programFolder) || (!ownData && !shipped.isEmpty());
    return {shipped, installed && !userFolder.isEmpty() ? userFolder : programFolder};
}

bool copyMissingDataFiles(const QString &from, const QString &to)
{
    const QDir source(from);
    const QDir target(to);
    bool copiedAll = true;
    for (const QString &file : dataFiles(source)) {
        if (!isPresent(target, file))
            copiedAll = copyWritable(source.filePath(file), target.filePath(file)) && copiedAll;
    }
    return copiedAll;
}

QString prepareDataFolder(const QString &programFolder, const QString &userFolder)
{
    const DataFolders folders = dataFoldersFor(programFolder, userFolder);
    // The temporary bitmaps need the folder even when there is nothing to copy.
    QDir().mkpath(folders.working);
    if (!folders.shipped.isEmpty() && folders.shipped != folders.working)
        copyMissingDataFiles(folders.shipped, folders.working);
    return folders.working;
}

QString userDataFolder()
{
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return userData.isEmpty() ? QString() : userData + QLatin1String("/vorlane");
}

} // namespace Vorlane
