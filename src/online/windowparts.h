#pragma once

#include <QString>

class QLabel;

namespace Vorlane {

class UserDialogs;

void setBold(QLabel *label);

// Opens an address that the net-info file gave, when it is one that may be
// opened (see isOpenableAddress); anything else is not opened.
void openAddressFromFile(UserDialogs &dialogs, const QString &address);

} // namespace Vorlane
