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

void openAddressFromFile(UserDialogs &dialogs, QWidget *owner, const QString &address)
{
    if (isConfiguredAddress(address) && (isOpenableAddress(address) || isMailLink(address)))
        dialogs.openLink(address);
    else
        dialogs.showMessage(owner, {QStringLiteral("No address is configured for this link."),
                                    QStringLiteral("No Address Configured"), MessageIcon::Information,
                                    {MessageButton::Ok}, MessageButton::Ok});
}

} // namespace Vorlane
