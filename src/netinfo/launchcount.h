#pragma once

#include <QtGlobal>

namespace Vorlane {

// The number of starts since the last successful net-info update, kept in the
// user's settings (organisation and application "Vorlane", key
// "launchCount") so that it outlives the program.

// Starts after a successful update before the next one falls due.
constexpr qint16 startsBetweenUpdates = 50;

// Counts this start and keeps the new count. With no count kept, or one that
// is not a number, the kept count is taken as 50, so a first start is due.
qint16 countLaunch();

// True when a start with this new count is due for the update.
constexpr bool isUpdateDue(qint16 launchCount)
{
    return launchCount > startsBetweenUpdates;
}

// After a successful update: the count starts again from 0.
void resetLaunchCount();

} // namespace Vorlane
