#include "widgets/systemdialogs.h"

#include "render/exact/rastercanvas.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
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

// A box sizes itself to its text, and a window manager then cuts a longer
// title short. Room for the title and the title bar's buttons keeps it whole.
void makeRoomForTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    constexpr int titleBarButtons = 160;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + titleBarButtons;
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
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
    // Texts hold paths and addresses from files: never markup.
    box.setTextFormat(Qt::PlainText);
    for (const MessageButton button : request.buttons)
        box.addButton(toQt(button));
    box.setDefaultButton(toQt(request.defaultButton));
    makeRoomForTitle(box);
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
