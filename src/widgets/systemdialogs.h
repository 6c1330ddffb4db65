#pragma once

#include "widgets/dialogs.h"

namespace Vorlane {

// The dialogs of the desktop the program runs on.
class SystemDialogs : public UserDialogs
{
public:
    MessageButton showMessage(QWidget *owner, const MessageRequest &request) override;
    QString chooseFileToOpen(QWidget *owner, const FileRequest &request) override;
    QString chooseFileToSave(QWidget *owner, const FileRequest &request) override;
    std::optional<qint32> chooseColour(QWidget *owner, qint32 initial) override;
    void openLink(const QString &address) override;
    void beep() override;
};

} // namespace Vorlane
