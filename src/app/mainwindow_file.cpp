// The File menu's commands: New, Open, Save, Save As and the picture export.
#include "app/mainwindow.h"

#include "widgets/dialogs.h"
#include "document/documentfile.h"
#include "surroundings/programstate.h"
#include "widgets/canvasview.h"

#include <QDir>
#include <QFileInfo>

namespace Vorlane {

namespace {

const QString untitledName = QStringLiteral("Untitled.vrf");
const QString overwriteTitle = QStringLiteral("Overwrite Confermation");

QString documentFolderName(const QString &appDir)
{
    return appDir + QLatin1String("Fractals") + QDir::separator() + QLatin1String("Select a file");
}

} // namespace

void MainWindow::connectFileCommands()
{
    const Commands &c = m_commands;
    connect(c.newAction, &QAction::triggered, this, &MainWindow::newDocument);
    connect(c.openAction, &QAction::triggered, this, &MainWindow::openDocument);
    connect(c.saveAction, &QAction::triggered, this, &MainWindow::saveDocument);
    connect(c.saveAsAction, &QAction::triggered, this, &MainWindow::saveDocumentAs);
    connect(c.saveBitmapAction, &QAction::triggered, this, &MainWindow::exportPicture);
}

bool MainWindow::mayReplace(const QString &path, const QString &question)
{
    // Only a file with content counts as existing. Its length is read without
    // opening it, so asking never leaves an empty file behind.
    return QFileInfo(path).size() == 0 || m_dialogs.askYesNo(this, overwriteTitle, question);
}

bool MainWindow::mayReplacePicture(const QString &path)
{
    return mayReplace(path, QLatin1String("The ") + path + QLatin1String(" file already exists. Do you want to over write it?"));
}

bool MainWindow::mayReplaceDocument(const QString &path)
{
    return mayReplace(path, QLatin1Char('\'') + path + QLatin1String("' already exists. Do you want to over write it?"));
}

void MainWindow::reportWriteFailure(const QString &path, const QString &reason)
{
    m_dialogs.warn(this, tr("Error Saving File"), tr("'%1' could not be written.\n%2").arg(path, reason));
}

bool MainWindow::saveDocumentTo(const QString &path)
{
    QString error;
    if (!m_session.save(path, &error)) {
        reportWriteFailure(path, error);
        return false;
    }
    return true;
}

void MainWindow::newDocument()
{
    m_session.newDocument(untitledName);
    resetCanvases();
    m_tempBitmap.store(m_hiddenCanvas->canvas().persistentImage());
}

void MainWindow::openDocument()
{
    const QString path = m_dialogs.chooseFileToOpen(
        this, {QStringLiteral("Fractal Images (*.vrf)|*.vrf|All Files (*.*)|*.*"), documentFolderName(m_state.appDir)});
    if (path.isEmpty())
        return;
    // A refused file has been reported; the last picture is still rewritten
    // from what the canvas shows.
    readDocumentFile(path);
    m_tempBitmap.store(m_visibleCanvas->canvas().persistentImage());
}

void MainWindow::saveDocument()
{
    const QString &file = m_session.currentFile();
    if (file.isEmpty() || file == untitledName)
        saveDocumentAs();
    else
        saveDocumentTo(file);
}

void MainWindow::saveDocumentAs()
{
    const QString path =
        m_dialogs.chooseFileToSave(this, {QStringLiteral("Fractal Images (*.vrf)|*.vrf"), m_session.currentFile()});
    if (path.isEmpty() || !mayReplaceDocument(path))
        return;
    saveDocumentTo(path);
}

void MainWindow::exportPicture()
{
    const QString path = m_dialogs.chooseFileToSave(
        this, {QStringLiteral("Pictures (*.bmp)|*.bmp"), suggestedBitmapName(m_session.currentFile())});
    if (path.isEmpty() || !mayReplacePicture(path))
        return;
    QString error;
    if (!writePictureFile(m_visibleCanvas->canvas().persistentImage(), path, &error))
        reportWriteFailure(path, error);
}

} // namespace Vorlane
