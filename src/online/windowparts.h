#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace Vorlane {

class UserDialogs;

void setBold(QLabel *label);

// Opens an address that the net-info file gave, when it is configured
// (isConfiguredAddress: not a shipped placeholder) and one that may be
// opened (isOpenableAddress). Anything else is not opened, and a message
// above owner says that the link has no address.
void openAddressFromFile(UserDialogs &dialogs, QWidget *owner, const QString &address);

} // namespace Vorlane
