#pragma once

#include <QString>

class QFrame;
class QLabel;
class QWidget;

namespace Vorlane {

class UserDialogs;

// A label with its control name.
QLabel *addNamedLabel(QWidget *parent, const char *name, const QString &text);
void setBold(QLabel *label);
// A sunken horizontal line between groups of controls.
QFrame *addSeparatorLine(QWidget *parent, const char *name);

// Opens an address that the net-info file gave, when it is one that may be
// opened (see isOpenableAddress); anything else is not opened.
void openAddressFromFile(UserDialogs &dialogs, const QString &address);

} // namespace Vorlane
