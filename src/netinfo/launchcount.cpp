#include "netinfo/launchcount.h"

#include "common/rounding.h"

#include <QSettings>

namespace Vorlane {

namespace {

const QString launchCountKey = QStringLiteral("launchCount");

} // namespace

qint16 countLaunch()
{
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    bool isNumber = false;
    const int kept = settings.value(launchCountKey).toInt(&isNumber);
    const qint16 previous = isNumber ? cint16(kept) : startsBetweenUpdates;
    const qint16 count = addInt16Saturated(previous, 1);
    settings.setValue(launchCountKey, count);
    return count;
}

void resetLaunchCount()
{
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    settings.setValue(launchCountKey, 0);
}

} // namespace Vorlane
