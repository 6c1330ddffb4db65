#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

class QWidget;

namespace Vorlane {

enum class MessageIcon { NoIcon, Information, Warning, Critical, Question };
enum class MessageButton { Ok, Cancel, Yes, No };

struct MessageRequest
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::NoIcon;
    QList<MessageButton> buttons{MessageButton::Ok};
    MessageButton defaultButton = MessageButton::Ok;
};

struct FileRequest
{
    // Pairs of a description and a pattern, all separated by "|":
    // "Fractal Images (*.vrf)|*.vrf|All Files (*.*)|*.*".
    QString filter;
    // A path or a bare file name; its folder, if any, is where the dialog starts.
    QString initialName;
};

// Everything the program asks the user through the system: message boxes,
// file and colour pickers, opening an address, the beep. Windows reach them
// only through this interface, so tests can answer them and read back exactly
// what was asked.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // The button pressed; closing the box answers its escape button.
    virtual MessageButton showMessage(QWidget *owner, const MessageRequest &request) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString chooseFileToOpen(QWidget *owner, const FileRequest &request) = 0;
    virtual QString chooseFileToSave(QWidget *owner, const FileRequest &request) = 0;
    // The chosen colour, red + 256 × green + 65536 × blue, or none when cancelled.
    virtual std::optional<qint32> chooseColour(QWidget *owner, qint32 initial) = 0;
    // Opens a web address, a mailto: address or a local file with the system's
    // handler; whether that worked is not known.
    virtual void openLink(const QString &address) = 0;
    virtual void beep() = 0;

    // A warning with a single OK button.
    void warn(QWidget *owner, const QString &title, const QString &text);
    // A question with Yes and No, No being the default; true for Yes.
    bool askYesNo(QWidget *owner, const QString &title, const QString &text);
};

// The filter in Qt's form: "Fractal Images (*.vrf);;All Files (*.*)".
QString qtFileFilter(const QString &filter);

// The folder a file dialog starts in for initialName: the name's folder, or
// the nearest folder above it that exists. Empty for a bare file name, which
// the dialog looks for in the working folder.
QString dialogStartFolder(const QString &initialName);

} // namespace Vorlane
