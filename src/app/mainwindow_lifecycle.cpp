// The main window's loading and its shutdown.
#include "app/mainwindow.h"

#include "widgets/dialogs.h"
#include "surroundings/datafolder.h"
#include "document/documentfile.h"
#include "surroundings/programfiles.h"
#include "surroundings/programstate.h"
#include "online/onlinelinks.h"

#include <QCloseEvent>

namespace Vorlane {

namespace {

const QLatin1String untitledDocument("Untitled.vrf");

} // namespace

void MainWindow::load(const LaunchOptions &launch)
{
    m_online->fillNetInfoSources();
    takeProgramFolder(prepareDataFolder(launch.programFolder, launch.userFolder));
    showAdvertisementFile(m_state.appDir);
    m_online->setDefaultAddresses();
    m_online->updateIfDue();
    show();
    m_online->readNetInfoFile();
    initialiseDocument(launch.documentPath);
    m_online->playAdPicture();
}

void MainWindow::takeProgramFolder(const QString &programFolder)
{
    m_state.appDir = appDirFor(programFolder);
    // The window was built before the folder was known.
    m_blankBitmap = HandOverBitmap(m_state.appDir + blankBitmapName, &m_state.workingFiles);
    m_tempBitmap = HandOverBitmap(m_state.appDir + tempBitmapName, &m_state.workingFiles);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!offerToSaveChanges()) {
        event->ignore();
        return;
    }
    // Another instance sharing the folder may still need what it wrote there.
    m_state.workingFiles.removeUnchanged();
    hideAdvertisementFile(m_state.appDir);
    event->accept();
}

// False when a save failed and the user chose to keep the program running.
bool MainWindow::offerToSaveChanges()
{
    const QString &file = m_session.currentFile();
    if (!m_session.isModified() || file.isEmpty())
        return true;
    if (!m_dialogs.askYesNo(this, QStringLiteral("Save changes to currently open file?"),
                            QLatin1String("Save changes in '") + file + QLatin1String("' ?")))
        return true;
    // A new document that was never saved goes to the working folder, where
    // a file of that name may already hold something.
    if (file == untitledDocument && !mayReplaceDocument(file))
        return true;
    return saveAtExit();
}

bool MainWindow::saveAtExit()
{
    QString error;
    if (m_session.save(m_session.currentFile(), &error))
        return true;
    const MessageRequest question{tr("'%1' could not be written.\n%2\n\nQuit without saving the changes?")
                                      .arg(m_session.currentFile(), error),
                                  tr("Error Saving File"), MessageIcon::Warning,
                                  {MessageButton::Yes, MessageButton::No}, MessageButton::No};
    return m_dialogs.showMessage(this, question) == MessageButton::Yes;
}

} // namespace Vorlane
