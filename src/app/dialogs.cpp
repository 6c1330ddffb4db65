#include "dialogs.h"

#include <QStringList>

namespace Vorlane {

void UserDialogs::warn(QWidget *owner, const QString &title, const QString &text)
{
    showMessage(owner, {text, title, MessageIcon::Warning, {MessageButton::Ok}, MessageButton::Ok});
}

bool UserDialogs::askYesNo(QWidget *owner, const QString &title, const QString &text)
{
    const MessageRequest question{text, title, MessageIcon::Question, {MessageButton::Yes, MessageButton::No},
                                  MessageButton::No};
    return showMessage(owner, question) == MessageButton::Yes;
}

QString qtFileFilter(const QString &filter)
{
    // Only the descriptions are kept: Qt reads the patterns from their brackets.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions.append(parts.at(i));
    return descriptions.join(QLatin1String(";;"));
}

} // namespace Vorlane
