#include "widgets/dialogs.h"

#include <QDir>
#include <QFileInfo>
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

QString dialogStartFolder(const QString &initialName)
{
    const QString name = QDir::fromNativeSeparators(initialName);
    if (!name.contains(QLatin1Char('/')))
        return QString();
    QString folder = QFileInfo(name).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            break;
        folder = parent;
    }
    return QDir::toNativeSeparators(folder);
}

} // namespace Vorlane
