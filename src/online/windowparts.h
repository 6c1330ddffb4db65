#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace Vorlane {

class UserDialogs;

void setBold(QLabel *label);

// Opens an address that the net-info file gave, when it is one that may be
// opened (see isOpenableAddress); anything else is not opened. An address
// that is not configured (isConfiguredAddress), such as a shipped
// placeholder, is not opened either, and a message above owner says so.
void openAddressFromFile(UserDialogs &dialogs, QWidget *owner, const QString &address);

} // namespace Vorlane
