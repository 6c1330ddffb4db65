#include "online/windowparts.h"

#include "widgets/dialogs.h"
#include "netinfo/netinfo.h"

#include <QLabel>

namespace Vorlane {

void setBold(QLabel *label)
{
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
}

void openAddressFromFile(UserDialogs &dialogs, const QString &address)
{
    if (isOpenableAddress(address) || isMailLink(address))
        dialogs.openLink(address);
}

} // namespace Vorlane
