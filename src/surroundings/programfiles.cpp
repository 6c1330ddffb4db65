#include "surroundings/programfiles.h"

#include <QDir>
#include <QFile>

namespace Vorlane {

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
    QFile::rename(appDir + advertisementHiddenName, appDir + advertisementShownName);
}

void hideAdvertisementFile(const QString &appDir)
{
    QFile::rename(appDir + advertisementShownName, appDir + advertisementHiddenName);
}

} // namespace Vorlane
