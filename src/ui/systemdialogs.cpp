#include "systemdialogs.h"

#include "render/rastercanvas.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace Vorlane {

namespace {

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QString runFileDialog(QWidget *owner, const FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(qtFileFilter(request.filter));
    const QString folder = dialogStartFolder(request.initialName);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.selectFile(QFileInfo(QDir::fromNativeSeparators(request.initialName)).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

MessageButton SystemDialogs::showMessage(QWidget *owner, const MessageRequest &request)
{
    QMessageBox box(toQt(request.icon), request.title, request.text, QMessageBox::NoButton, owner);
    for (const MessageButton button : request.buttons)
        box.addButton(toQt(button));
    box.setDefaultButton(toQt(request.defaultButton));
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const MessageButton button : request.buttons) {
        if (toQt(button) == pressed)
            return button;
    }
    return request.buttons.contains(MessageButton::Cancel) ? MessageButton::Cancel : request.buttons.constLast();
}

QString SystemDialogs::chooseFileToOpen(QWidget *owner, const FileRequest &request)
{
    return runFileDialog(owner, request, QFileDialog::AcceptOpen);
}

QString SystemDialogs::chooseFileToSave(QWidget *owner, const FileRequest &request)
{
    return runFileDialog(owner, request, QFileDialog::AcceptSave);
}

std::optional<qint32> SystemDialogs::chooseColour(QWidget *owner, qint32 initial)
{
    const QColor colour = QColorDialog::getColor(QColor(RasterCanvas::toRgb(initial)), owner);
    if (!colour.isValid())
        return std::nullopt;
    return RasterCanvas::fromRgb(colour.rgb());
}

void SystemDialogs::openLink(const QString &address)
{
    const bool isFile = QFileInfo(address).isAbsolute();
    QDesktopServices::openUrl(isFile ? QUrl::fromLocalFile(address) : QUrl(address));
}

void SystemDialogs::beep()
{
    QApplication::beep();
}

} // namespace Vorlane
