#pragma once

#include "widgets/dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace Vorlane {

// Answers the program's dialogs from queues that a test fills, and records
// every request so that the test can check texts, titles, icons and buttons.
// An unexpected question fails the test that asked it (see hasUnexpected).
class ScriptedDialogs : public UserDialogs
{
public:
    MessageButton showMessage(QWidget *owner, const MessageRequest &request) override;
    QString chooseFileToOpen(QWidget *owner, const FileRequest &request) override;
    QString chooseFileToSave(QWidget *owner, const FileRequest &request) override;
    std::optional<qint32> chooseColour(QWidget *owner, qint32 initial) override;
    void openLink(const QString &address) override;
    void beep() override;

    // Answers, taken in order. An empty file answer means "cancelled".
    QQueue<MessageButton> messageAnswers;
    QQueue<QString> fileAnswers;
    QQueue<std::optional<qint32>> colourAnswers;

    // What was asked, in order.
    QList<MessageRequest> messages;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<qint32> colourRequests;
    QStringList openedLinks;
    int beeps = 0;

    // True when a dialog was shown with no answer queued for it.
    bool hasUnexpected() const { return m_unexpected; }

private:
    QString nextFileAnswer();
    bool m_unexpected = false;
};

} // namespace Vorlane
