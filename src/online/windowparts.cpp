#include "windowparts.h"

#include "app/dialogs.h"
#include "netinfo.h"

#include <QFrame>
#include <QLabel>

namespace Vorlane {

QLabel *addNamedLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

void setBold(QLabel *label)
{
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
}

QFrame *addSeparatorLine(QWidget *parent, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void openAddressFromFile(UserDialogs &dialogs, const QString &address)
{
    if (isOpenableAddress(address))
        dialogs.openLink(address);
}

} // namespace Vorlane
