#include "programfiles.h"

#include <QDir>
#include <QFile>

namespace Vorlane {

namespace {

const QLatin1String advertisementShown("vornad.gif");
const QLatin1String advertisementHidden("vornad.dat");

} // namespace

QString documentPathArgument(const QStringList &arguments)
{
    QString path = arguments.value(1);
    const QLatin1Char quote('"');
    if (path.size() >= 2 && path.startsWith(quote) && path.endsWith(quote))
        path = path.mid(1, path.size() - 2);
    return path;
}

QString appDirFor(const QString &programFolder)
{
    return QDir::toNativeSeparators(programFolder) + QDir::separator();
}

void showAdvertisementFile(const QString &appDir)
{
    QFile::rename(appDir + advertisementHidden, appDir + advertisementShown);
}

void hideAdvertisementFile(const QString &appDir)
{
    QFile::rename(appDir + advertisementShown, appDir + advertisementHidden);
}

void removeHandOverBitmaps(const QString &appDir)
{
    for (const QLatin1String name : {blankBitmapName, tempBitmapName, testBitmapName})
        QFile::remove(appDir + name);
}

} // namespace Vorlane
