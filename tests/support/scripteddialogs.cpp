#include "scripteddialogs.h"

namespace Vorlane {

MessageButton ScriptedDialogs::showMessage(QWidget *, const MessageRequest &request)
{
    messages.append(request);
    while (!messageAnswers.isEmpty()) {
        const MessageAnswer answer = messageAnswers.dequeue();
        if (answer.button)
            return *answer.button;
        if (const std::optional<MessageButton> escape = escapeAnswer(request))
            return *escape;
        ++escapesIgnored;
    }
    m_unexpected = true;
    return request.defaultButton;
}

QString ScriptedDialogs::nextFileAnswer()
{
    if (fileAnswers.isEmpty()) {
        m_unexpected = true;
        return QString();
    }
    return fileAnswers.dequeue();
}

QString ScriptedDialogs::chooseFileToOpen(QWidget *, const FileRequest &request)
{
    openRequests.append(request);
    return nextFileAnswer();
}

QString ScriptedDialogs::chooseFileToSave(QWidget *, const FileRequest &request)
{
    saveRequests.append(request);
    return nextFileAnswer();
}

std::optional<qint32> ScriptedDialogs::chooseColour(QWidget *, qint32 initial)
{
    colourRequests.append(initial);
    if (colourAnswers.isEmpty()) {
        m_unexpected = true;
        return std::nullopt;
    }
    return colourAnswers.dequeue();
}

void ScriptedDialogs::openLink(const QString &address)
{
    openedLinks.append(address);
}

void ScriptedDialogs::beep()
{
    ++beeps;
}

} // namespace Vorlane
