#pragma once

#include <QSettings>
#include <QVariant>

namespace Vorlane {

// The launch count that decides whether a start offers the net-info update.
// Tests run with a configuration folder of their own (see CMakeLists.txt).
inline void keepLaunchCount(const QVariant &count)
{
    QSettings settings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
    if (count.isValid())
        settings.setValue(QStringLiteral("launchCount"), count);
    else
        settings.remove(QStringLiteral("launchCount"));
}

inline QVariant keptLaunchCount()
{
    return QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane")).value(QStringLiteral("launchCount"));
}

// A start right after a successful update: no update is offered.
inline void keepNoUpdateDue()
{
    keepLaunchCount(0);
}

} // namespace Vorlane
